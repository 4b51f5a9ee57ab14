#include "operator/cli/cli_ui.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <utility>

#include "operator/shell/wait_notice_text.h"

namespace quorvel::cli {
namespace {

bool isQuestion(int style) {
    const int buttons = style & 0x0F;
    return buttons == kYesNo || buttons == kYesNoCancel || buttons == kOkCancel ||
           buttons == kRetryCancel || buttons == kAbortRetryIgnore;
}

// Reports of success that arrive with an error's title or icon: the library reports the baud
// rate reset with its error kind, and the window shows some finished runs with a warning icon.
bool tellsSuccess(const QString& text) {
    static const char* const kSuccessTexts[] = {
        "Internal Baudrate have been succesfully reset",
        "Download finished",
    };
    for (const char* success : kSuccessTexts)
        if (text.startsWith(QLatin1String(success))) return true;
    return false;
}

// Library errors carry this title; the icon alone does not tell an error (success messages
// such as "Upload finished!" use the exclamation icon too).
bool isError(int style, const QString& title, const QString& text) {
    return (title == "Quorvel Error" || (style & 0xF0) == kIconStop) && !tellsSuccess(text);
}

// The answer code for a yes (or go-ahead) and for a no (or stop) of the box's buttons.
std::pair<int, int> answerCodes(int style) {
    switch (style & 0x0F) {
        case kOkCancel:
            return {kAnswerOk, kAnswerCancel};
        case kRetryCancel:
            return {kAnswerRetry, kAnswerCancel};
        case kAbortRetryIgnore:
            return {kAnswerRetry, kAnswerAbort};
        default:
            return {kAnswerYes, kAnswerNo};
    }
}

}  // namespace

std::string TerminalText(const QString& text) {
    static const QRegularExpression lineBreak("\r\n|\r");
    return QString(text).replace(lineBreak, "\n").trimmed().toStdString();
}

CliUi::CliUi(CliUiOptions options, std::FILE* err, std::FILE* in)
    : options_(options), err_(err), in_(in), progress_(err, options.redrawProgress) {}

CliUi::~CliUi() {
    if (options_.redrawProgress) tellWaits(false);
}

void CliUi::note(const std::string& line) {
    if (options_.verbosity != Verbosity::Quiet && !options_.events) progress_.printLine(line);
}

void CliUi::error(const std::string& line) { progress_.printLine("quorvel-cli: " + line); }

void CliUi::event(const char* kind, const QString& field, const QString& text, int number) {
    QJsonObject json{{"event", kind}};
    if (!field.isEmpty()) json[field] = text;
    if (number >= 0) json["percent"] = number;
    std::fprintf(err_, "%s\n", QJsonDocument(json).toJson(QJsonDocument::Compact).constData());
    std::fflush(err_);
}

int CliUi::showMessageBox(const QString& prompt, int style, const QString& title) {
    const std::string text = TerminalText(prompt);
    if (options_.events) {
        event(isError(style, title, prompt) ? "error"
              : isQuestion(style)   ? "question"
                                    : "message",
              "text", QString::fromStdString(text));
    }
    if (title == "Quorvel Error" && !tellsSuccess(prompt)) errors_.push_back(prompt);
    if (isQuestion(style)) {
        const auto [yes, no] = answerCodes(style);
        if (options_.assumeYes) {
            note(text + "\n(answered yes: --yes)");
            return yes;
        }
        const bool threeWay = (style & 0x0F) == kYesNoCancel;
        const auto answer = readAnswer(text + (threeWay ? " [y/n/C] " : " [y/N] "));
        if (!answer) {
            notAnswered(text, "--yes");
            return threeWay ? kAnswerCancel : no;
        }
        const QChar first = answer->empty() ? QChar() : QChar(answer->front()).toLower();
        if (first == 'y') return yes;
        if (threeWay && first != 'n') return kAnswerCancel;
        return no;
    }
    if ((style & kNeedsConfirmation) != 0) return awaitConfirmation(text);
    if (options_.events) return kAnswerOk;
    if (isError(style, title, prompt)) {
        error(text);
    } else {
        note(text);
    }
    return kAnswerOk;
}

QString CliUi::confirmationUnavailable() const {
    if (options_.interactive || options_.assumeYes) return {};
    return "there is no terminal to confirm on: run again with --yes to go on without waiting "
           "for the confirmation";
}

int CliUi::awaitConfirmation(const std::string& text) {
    if (readAnswer(text + "\nPress Enter when done: ")) return kAnswerOk;
    if (options_.assumeYes) {
        note(text + "\n(not waited for: --yes)");
        return kAnswerOk;
    }
    notAnswered(text, "--yes");
    return kAnswerCancel;
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

void CliUi::notAnswered(const std::string& text, const std::string& option) {
    progress_.printLine(text + "\n(not answered: no terminal to ask; use " + option + ")");
    unanswered_.push_back(option);
}

std::optional<QString> CliUi::askInput(const QString& prompt, const QString&,
                                       const QString& defaultValue) {
    if (inputAnswer_) return std::exchange(inputAnswer_, std::nullopt);
    const std::string shownDefault =
        defaultValue.isEmpty() ? "" : " [" + defaultValue.toStdString() + "]";
    const auto answer = readAnswer(TerminalText(prompt) + shownDefault + " ");
    if (!answer) {
        notAnswered(TerminalText(prompt), "the command's value argument");
        return std::nullopt;
    }
    return answer->empty() ? defaultValue : QString::fromStdString(*answer);
}

std::optional<int> CliUi::chooseFromList(const ChoiceList& list) {
    const bool pick = !list.messagesOnly && !list.autoConfirm;
    if (list.messagesOnly || options_.verbosity == Verbosity::Verbose || pick) {
        progress_.printLine(TerminalText(list.title));
        for (size_t i = 0; i < list.rows.size(); ++i) {
            const std::string mark = static_cast<int>(i) == list.defaultRow ? "*" : " ";
            progress_.printLine(mark + " " + std::to_string(i + 1) + ") " +
                                list.rows[i].join("  ").toStdString());
        }
    }
    if (list.messagesOnly) return std::nullopt;
    if (list.autoConfirm) {
        return list.defaultRow < 0 ? std::nullopt : std::optional<int>(list.defaultRow);
    }
    const auto answer = readAnswer("Choose 1-" + std::to_string(list.rows.size()) + ": ");
    if (!answer) {
        notAnswered(TerminalText(list.title), "--firmware");
        return std::nullopt;
    }
    const int chosen = QString::fromStdString(*answer).trimmed().toInt();
    if (chosen < 1 || chosen > static_cast<int>(list.rows.size())) return std::nullopt;
    return chosen - 1;
}

std::optional<QString> CliUi::chooseSaveFile(const QString& title, const QString&,
                                             const QString& proposedPath) {
    if (saveFileAnswer_) return std::exchange(saveFileAnswer_, std::nullopt);
    const auto answer = readAnswer(TerminalText(title) + " [" + proposedPath.toStdString() + "] ");
    if (!answer) {
        notAnswered(TerminalText(title), "--output");
        return std::nullopt;
    }
    return answer->empty() ? proposedPath : QString::fromStdString(*answer);
}

bool CliUi::showReport(const ReportView& view) {
    progress_.finishLine();
    std::FILE* out = reportsToStderr_ ? err_ : stdout;
    std::fprintf(out, "%s\n%s\n", view.title.toStdString().c_str(),
                 TerminalText(view.report).c_str());
    std::fflush(out);
    if (view.secondButton.isEmpty()) {
        note(TerminalText(view.message));
        return true;
    }
    return showMessageBox(view.message, kOkCancel | kIconQuestion, view.title) == kAnswerOk;
}

std::optional<int> CliUi::chooseOne(const QString& title, const QStringList& choices) {
    if (choiceAnswer_) {
        const qsizetype at = choices.indexOf(*std::exchange(choiceAnswer_, std::nullopt));
        return at < 0 ? std::nullopt : std::optional<int>(static_cast<int>(at));
    }
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
    if (options_.events) return;
    if (!locked_ || !progressShown_ || options_.verbosity == Verbosity::Quiet ||
        status_.isEmpty()) {
        return;
    }
    QString phase = status_;
    if (position_) phase = RunPositionText(*position_) + ": " + phase;
    const QString text = waiting_.isEmpty() ? phase : phase + ", " + waiting_;
    progress_.show(phase.toStdString(), text.toStdString(), percent_, QTX_GetTickCount());
}

void CliUi::setProgress(int percent) {
    if (options_.events && locked_ && percent != percent_) event("progress", {}, {}, percent);
    percent_ = percent;
    if (countdownMs_ > 0)
        waiting_ = WaitNoticeText(countdownMs_, countdownMs_ * percent / 100, "the rack");
    showProgress();
}

void CliUi::setProgressCountdown(int totalMs) {
    countdownMs_ = totalMs;
    waiting_ = totalMs > 0 ? WaitNoticeText(totalMs, 0, "the rack") : QString();
    showProgress();
}

void CliUi::setStatus(const QString& text) {
    if (options_.events) event("status", "text", text);
    status_ = text;
    showProgress();
}

void CliUi::setRunPosition(const std::optional<RunPosition>& position) {
    if (options_.events && position) event("position", "text", RunPositionText(*position));
    position_ = position;
    showProgress();
}

void CliUi::setInterfaceEnabled(bool enabled) {
    locked_ = !enabled;
    if (options_.redrawProgress) tellWaits(!enabled);
    if (enabled) progress_.finishLine();
}

void CliUi::tellWaits(bool on) {
    QTX_SetWaitNotice(on ? &CliUi::waitNotice : nullptr, on ? this : nullptr);
    waiting_.clear();
}

void LINKPAD_CALL CliUi::waitNotice(int32_t totalMs, int32_t waitedMs, void* context) {
    auto* self = static_cast<CliUi*>(context);
    self->waiting_ = WaitNoticeText(totalMs, waitedMs);
    self->showProgress();
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
