#pragma once
// What an operation did (or, in a dry run, would do): the operation, its named phases in order,
// and per phase the messages and the outcome. The command line prints it as JSON; download-all
// builds its to-do list and protocol from it.
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <vector>

#include "operator/drivers/failure_advice.h"

namespace quorvel {

enum class Outcome { Planned, Done, Warning, Failed, Skipped };

struct ReportMessage {
    enum class Kind { Information, Warning, Error };
    Kind kind = Kind::Information;
    QString text;
};

struct Phase {
    QString name;
    Outcome outcome = Outcome::Done;
    QStringList details;  // what the phase works on: files, slots, arguments
    std::vector<ReportMessage> messages;
};

// What the verify step found in one targeted slot after the run.
struct SlotOutcome {
    int slot = 0;     // 0-15
    QString module;   // the module's type
    QString target;   // the version the run was to leave in it
    QString running;  // what the slot was identified running: "P2.07", "loader 1 V1.02", ...
    bool atTarget = false;
    QString phase;  // where it failed (empty when at target)
};

class RunReport {
  public:
    explicit RunReport(QString operation = {}) : operation_(std::move(operation)) {}

    // Starts a phase; later messages belong to it.
    Phase& beginPhase(const QString& name, Outcome outcome = Outcome::Done);
    // A message of the current phase (of the operation itself before the first phase).
    void addMessage(ReportMessage::Kind kind, const QString& text);
    // A detail of the current phase (a file, a slot, a decision).
    void addDetail(const QString& detail);
    // Marks the current phase failed.
    void failPhase();
    // The verify step's finding for a slot (replaces an earlier one of the same slot).
    void setSlotOutcome(const SlotOutcome& outcome);
    // The operation's result code: 0 done, negative a library or driver failure.
    void setResult(int result) { result_ = result; }
    void setDryRun(bool dryRun) { dryRun_ = dryRun; }

    const QString& operation() const { return operation_; }
    const std::vector<Phase>& phases() const { return phases_; }
    const std::vector<ReportMessage>& messages() const { return messages_; }
    const std::vector<SlotOutcome>& slotOutcomes() const { return slotOutcomes_; }
    // The first failed phase, nullptr when none failed.
    const Phase* failedPhase() const;
    // The message that tells the failure: the first warning or error of the failed phase (the
    // library's own words come before the driver's conclusion), else the last problem reported.
    QString problem() const;
    // The state and next step of the failure from the table of advice.
    FailureAdvice advice() const;
    FailureAdvice adviceFor(const Phase& phase) const;
    int result() const { return result_; }
    bool dryRun() const { return dryRun_; }
    bool failed() const;

    QJsonObject toJson() const;

  private:
    QString operation_;
    std::vector<Phase> phases_;
    std::vector<ReportMessage> messages_;  // before the first phase
    std::vector<SlotOutcome> slotOutcomes_;
    int result_ = 0;
    bool dryRun_ = false;
};

QString OutcomeName(Outcome outcome);
// The kind of a message box by its icon: stop and exclamation are warnings unless the title says
// error; question boxes are information.
ReportMessage::Kind MessageKindOf(int buttons, bool errorTitle);

}  // namespace quorvel
