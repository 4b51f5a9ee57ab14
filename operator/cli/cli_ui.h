#pragma once
// The operator's UI on a terminal: messages and progress on stderr, questions answered on the
// terminal (or by --yes and the command's options; without a terminal an unanswered question is
// answered No and remembered, so the command can fail naming the option).
#include <cstdio>
#include <string>
#include <vector>

#include "linkpad/linkpad.h"
#include "operator/cli/terminal_progress.h"
#include "operator/shell/operator_ui.h"

namespace quorvel::cli {

enum class Verbosity { Quiet, Normal, Verbose };

struct CliUiOptions {
    Verbosity verbosity = Verbosity::Normal;
    bool assumeYes = false;
    bool interactive = false;  // stdin and stderr are terminals
    bool redrawProgress = false;
    bool events = false;  // progress, status and messages as JSON lines on stderr
};

class CliUi : public OperatorUi {
  public:
    explicit CliUi(CliUiOptions options, std::FILE* err = stderr, std::FILE* in = stdin);
    ~CliUi() override;
    CliUi(const CliUi&) = delete;
    CliUi& operator=(const CliUi&) = delete;

    int showMessageBox(const QString& prompt, int style, const QString& title) override;
    QString confirmationUnavailable() const override;
    std::optional<QString> askInput(const QString& prompt, const QString& title,
                                    const QString& defaultValue = {}) override;
    std::optional<int> chooseOne(const QString& title, const QStringList& choices) override;
    std::optional<int> chooseFromList(const ChoiceList& list) override;
    std::optional<QString> chooseSaveFile(const QString& title, const QString& filter,
                                          const QString& proposedPath) override;
    bool showReport(const ReportView& view) override;
    void setProgress(int percent) override;
    void setStatus(const QString& text) override;
    void setRunPosition(const std::optional<RunPosition>& position) override;
    void setProgressCountdown(int totalMs) override;
    void setPortSummary(const QString& text) override { portSummary_ = text; }
    void setInterfaceEnabled(bool enabled) override;
    void processEvents() override {}
    void setDeviceBox(DeviceBox box, int slot, const DeviceBoxState& state) override;
    void showProtocolViewer(const QString& caption, const QString& text, bool found) override;

    const QString& portSummary() const { return portSummary_; }
    // Answers the command line gives in advance: the next input box (a value argument) and the
    // next save-file choice (--output).
    void answerNextInput(const QString& value) { inputAnswer_ = value; }
    void answerNextSaveFile(const QString& path) { saveFileAnswer_ = path; }
    // The choice named so (a function of a processor firmware directory) for the next chooseOne.
    void answerNextChoice(const QString& name) { choiceAnswer_ = name; }
    // Questions that the options did not answer (each names the option that would have).
    const std::vector<std::string>& unanswered() const { return unanswered_; }
    // Reports and notes go to stderr instead of stdout (--json keeps stdout for the result).
    void setReportsToStderr(bool toStderr) { reportsToStderr_ = toStderr; }
    // Error messages shown so far, in order.
    const std::vector<QString>& errors() const { return errors_; }
    // Progress and status lines on or off; housekeeping such as the shutdown runs without them.
    void setProgressShown(bool shown) { progressShown_ = shown; }
    // A line on stderr of its own (respects -q only for notes).
    void note(const std::string& line);
    void error(const std::string& line);

  private:
    std::optional<std::string> readAnswer(const std::string& question);
    void notAnswered(const std::string& text, const std::string& option);
    // A message the operator confirms after acting on the device: Enter on a terminal.
    int awaitConfirmation(const std::string& text);
    void showProgress();
    void event(const char* kind, const QString& field, const QString& text, int number = -1);
    // On a terminal the progress line says how long the library may still wait for a module.
    void tellWaits(bool on);
    static void LINKPAD_CALL waitNotice(int32_t totalMs, int32_t waitedMs, void* context);

    CliUiOptions options_;
    std::FILE* err_;
    std::FILE* in_;
    TerminalProgress progress_;
    bool locked_ = false;  // an operation runs: show its progress
    bool progressShown_ = true;
    QString status_;
    std::optional<RunPosition> position_;  // shown before the status while a run has one
    QString waiting_;  // "waiting for the module, up to 8 s" while the library waits
    int percent_ = 0;
    int countdownMs_ = 0;  // the rack's restart, counted down by the progress
    QString portSummary_;
    std::vector<QString> errors_;
    std::optional<QString> inputAnswer_;
    std::optional<QString> saveFileAnswer_;
    std::optional<QString> choiceAnswer_;
    std::vector<std::string> unanswered_;
    bool reportsToStderr_ = false;
};

// Message texts use CR as line break; on a terminal they become line feeds.
std::string TerminalText(const QString& text);

}  // namespace quorvel::cli
