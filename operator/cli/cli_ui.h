#pragma once
// The operator's UI on a terminal: messages and progress on stderr, questions answered on the
// terminal (or by --yes; without a terminal a question is answered No).
#include <cstdio>
#include <string>
#include <vector>

#include "operator/cli/terminal_progress.h"
#include "operator/shell/operator_ui.h"

namespace quorvel::cli {

enum class Verbosity { Quiet, Normal, Verbose };

struct CliUiOptions {
    Verbosity verbosity = Verbosity::Normal;
    bool assumeYes = false;
    bool interactive = false;  // stdin and stderr are terminals
    bool redrawProgress = false;
};

class CliUi : public OperatorUi {
public:
    explicit CliUi(CliUiOptions options, std::FILE* err = stderr, std::FILE* in = stdin);

    int showMessageBox(const QString& prompt, int style, const QString& title) override;
    std::optional<QString> askInput(const QString& prompt, const QString& title) override;
    std::optional<int> chooseOne(const QString& title, const QStringList& choices) override;
    void setProgress(int percent) override;
    void setStatus(const QString& text) override;
    void setPortSummary(const QString& text) override { portSummary_ = text; }
    void setInterfaceEnabled(bool enabled) override;
    void processEvents() override {}
    void setDeviceBox(DeviceBox box, int slot, const DeviceBoxState& state) override;
    void showProtocolViewer(const QString& caption, const QString& text, bool found) override;

    const QString& portSummary() const { return portSummary_; }
    // Error messages shown so far, in order.
    const std::vector<QString>& errors() const { return errors_; }
    // Progress and status lines on or off; housekeeping such as the shutdown runs without them.
    void setProgressShown(bool shown) { progressShown_ = shown; }
    // A line on stderr of its own (respects -q only for notes).
    void note(const std::string& line);
    void error(const std::string& line);

private:
    std::optional<std::string> readAnswer(const std::string& question);
    void showProgress();

    CliUiOptions options_;
    std::FILE* err_;
    std::FILE* in_;
    TerminalProgress progress_;
    bool locked_ = false;  // an operation runs: show its progress
    bool progressShown_ = true;
    QString status_;
    int percent_ = 0;
    QString portSummary_;
    std::vector<QString> errors_;
};

// Message texts use CR as line break; on a terminal they become line feeds.
std::string TerminalText(const QString& text);

}  // namespace quorvel::cli
