#include "operator/cli/cli_ui.h"

#include <QRegularExpression>

namespace quorvel::cli {
namespace {

bool isQuestion(int style) {
    const int buttons = style & 0x0F;
    return buttons == kYesNo || buttons == kYesNoCancel || buttons == kOkCancel ||
           buttons == kRetryCancel || buttons == kAbortRetryIgnore;
}

bool isWarning(int style) {
    const int icon = style & 0xF0;
    return icon == kIconStop || icon == kIconExclamation;
}

// The answer code for a yes (or go-ahead) and for a no (or stop) of the box's buttons.
std::pair<int, int> answerCodes(int style) {
    switch (style & 0x0F) {
        case kOkCancel: return {kAnswerOk, kAnswerCancel};
        case kRetryCancel: return {kAnswerRetry, kAnswerCancel};
        case kAbortRetryIgnore: return {kAnswerRetry, kAnswerAbort};
        case kYesNoCancel: return {kAnswerYes, kAnswerCancel};
        default: return {kAnswerYes, kAnswerNo};
    }
}

}  // namespace

std::string TerminalText(const QString& text) {
    static const QRegularExpression lineBreak("\r\n|\r");
    return QString(text).replace(lineBreak, "\n").trimmed().toStdString();
}

CliUi::CliUi(CliUiOptions options, std::FILE* err, std::FILE* in)
    : options_(options), err_(err), in_(in), progress_(err, options.redrawProgress) {}

void CliUi::note(const std::string& line) {
    if (options_.verbosity != Verbosity::Quiet) progress_.printLine(line);
}

void CliUi::error(const std::string& line) { progress_.printLine("quorvel-cli: " + line); }

int CliUi::showMessageBox(const QString& prompt, int style, const QString& title) {
    const std::string text = TerminalText(prompt);
    if (title == "Quorvel Error") errors_.push_back(prompt);
    if (isQuestion(style)) {
        const auto [yes, no] = answerCodes(style);
        if (options_.assumeYes) {
            note(text + "\n(answered yes: --yes)");
            return yes;
        }
        const auto answer = readAnswer(text + " [y/N] ");
        if (!answer) {
            progress_.printLine(text + "\n(answered no: no terminal to ask; use --yes to agree)");
            return no;
        }
        return !answer->empty() && (answer->front() == 'y' || answer->front() == 'Y') ? yes : no;
    }
    if (isWarning(style)) {
        error(text);
    } else {
        note(text);
    }
    return kAnswerOk;
}

std::optional<std::string> CliUi::readAnswer(const std::string& question) {
    if (!options_.interactive) return std::nullopt;
    progress_.finishLine();
    std::fputs(question.c_str(), err_);
    std::fflush(err_);
    std::string line;
    for (int c = std::fgetc(in_); c != EOF && c != '\n'; c = std::fgetc(in_)) {
        line += static_cast<char>(c);
    }
    return line;
}

std::optional<QString> CliUi::askInput(const QString& prompt, const QString&) {
    const auto answer = readAnswer(TerminalText(prompt) + " ");
    if (!answer) return std::nullopt;
    return QString::fromStdString(*answer);
}

std::optional<int> CliUi::chooseOne(const QString& title, const QStringList& choices) {
    if (!options_.interactive || choices.isEmpty()) return std::nullopt;
    progress_.printLine(TerminalText(title));
    for (qsizetype i = 0; i < choices.size(); ++i) {
        progress_.printLine("  " + std::to_string(i + 1) + ") " + choices[i].toStdString());
    }
    const auto answer = readAnswer("Choose 1-" + std::to_string(choices.size()) + ": ");
    if (!answer) return std::nullopt;
    const int chosen = QString::fromStdString(*answer).trimmed().toInt();
    if (chosen < 1 || chosen > choices.size()) return std::nullopt;
    return chosen - 1;
}

void CliUi::showProgress() {
    if (!locked_ || !progressShown_ || options_.verbosity == Verbosity::Quiet ||
        status_.isEmpty()) {
        return;
    }
    progress_.show(status_.toStdString(), percent_);
}

void CliUi::setProgress(int percent) {
    percent_ = percent;
    showProgress();
}

void CliUi::setStatus(const QString& text) {
    status_ = text;
    showProgress();
}

void CliUi::setInterfaceEnabled(bool enabled) {
    locked_ = !enabled;
    if (enabled) progress_.finishLine();
}

void CliUi::setDeviceBox(DeviceBox box, int slot, const DeviceBoxState& state) {
    if (box == DeviceBox::Slot) {
        percent_ = (slot + 1) * 100 / 16;
        status_ = QString("slot %1 of 16 scanned").arg(slot + 1);
        showProgress();
    }
    if (options_.verbosity == Verbosity::Verbose) note(TerminalText(state.caption));
}

void CliUi::showProtocolViewer(const QString& caption, const QString& text, bool) {
    progress_.finishLine();
    std::printf("%s\n%s\n", caption.toStdString().c_str(), TerminalText(text).c_str());
}

}  // namespace quorvel::cli
