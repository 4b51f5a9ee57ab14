#include "operator/drivers/run_report.h"

#include <QJsonArray>

#include "operator/shell/operator_ui.h"

namespace quorvel {
namespace {

QString kindName(ReportMessage::Kind kind) {
    switch (kind) {
        case ReportMessage::Kind::Warning:
            return "warning";
        case ReportMessage::Kind::Error:
            return "error";
        default:
            return "information";
    }
}

bool isProblem(const ReportMessage& message) {
    return message.kind != ReportMessage::Kind::Information;
}

QString firstProblem(const Phase& phase) {
    for (const ReportMessage& message : phase.messages)
        if (isProblem(message)) return message.text;
    return {};
}

void addAdvice(QJsonObject& json, const FailureAdvice& advice) {
    json["state"] = advice.state;
    json["next_step"] = advice.nextStep;
}

QJsonArray messagesJson(const std::vector<ReportMessage>& messages) {
    QJsonArray array;
    for (const auto& m : messages) {
        array.append(QJsonObject{{"kind", kindName(m.kind)}, {"text", m.text}});
    }
    return array;
}

}  // namespace

QString OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::Planned:
            return "planned";
        case Outcome::Warning:
            return "warning";
        case Outcome::Failed:
            return "failed";
        case Outcome::Skipped:
            return "skipped";
        default:
            return "done";
    }
}

ReportMessage::Kind MessageKindOf(int buttons, bool errorTitle) {
    if (errorTitle) return ReportMessage::Kind::Error;
    const int icon = buttons & 0xF0;
    if (icon == kIconStop || icon == kIconExclamation) return ReportMessage::Kind::Warning;
    return ReportMessage::Kind::Information;
}

Phase& RunReport::beginPhase(const QString& name, Outcome outcome) {
    phases_.push_back(Phase{name, outcome, {}, {}});
    return phases_.back();
}

void RunReport::addMessage(ReportMessage::Kind kind, const QString& text) {
    auto& target = phases_.empty() ? messages_ : phases_.back().messages;
    target.push_back({kind, text});
}

void RunReport::addDetail(const QString& detail) {
    if (!phases_.empty()) phases_.back().details << detail;
}

void RunReport::failPhase() {
    if (!phases_.empty()) phases_.back().outcome = Outcome::Failed;
}

void RunReport::setSlotOutcome(const SlotOutcome& outcome) {
    for (SlotOutcome& known : slotOutcomes_) {
        if (known.slot != outcome.slot) continue;
        known = outcome;
        return;
    }
    slotOutcomes_.push_back(outcome);
}

const Phase* RunReport::failedPhase() const {
    for (const auto& phase : phases_)
        if (phase.outcome == Outcome::Failed) return &phase;
    return nullptr;
}

QString RunReport::problem() const {
    if (const Phase* failing = failedPhase())
        if (QString text = firstProblem(*failing); !text.isEmpty()) return text;
    QString last;
    for (const ReportMessage& message : messages_)
        if (isProblem(message)) last = message.text;
    for (const Phase& phase : phases_)
        for (const ReportMessage& message : phase.messages)
            if (isProblem(message)) last = message.text;
    return last;
}

FailureAdvice RunReport::advice() const {
    const Phase* failing = failedPhase();
    if (!failing && result_ == kOperationDeclined) return RefusalAdvice();
    // Every phase went through, but a slot did not end at its target (one left out of the run).
    for (const SlotOutcome& outcome : slotOutcomes_)
        if (!failing && !outcome.atTarget) return AdviceFor(outcome.phase, operation_, problem());
    return AdviceFor(failing ? failing->name : QString(), operation_, problem());
}

FailureAdvice RunReport::adviceFor(const Phase& phase) const {
    QString text = firstProblem(phase);
    if (text.isEmpty() && &phase == failedPhase()) text = problem();
    return AdviceFor(phase.name, operation_, text);
}

bool RunReport::failed() const {
    if (result_ != 0) return true;
    for (const auto& phase : phases_)
        if (phase.outcome == Outcome::Failed) return true;
    return false;
}

QJsonObject RunReport::toJson() const {
    QJsonArray phases;
    for (const auto& phase : phases_) {
        QJsonObject json{{"name", phase.name},
                         {"outcome", OutcomeName(phase.outcome)},
                         {"details", QJsonArray::fromStringList(phase.details)},
                         {"messages", messagesJson(phase.messages)}};
        if (phase.outcome == Outcome::Failed) addAdvice(json, adviceFor(phase));
        phases.append(json);
    }
    QJsonArray slotsJson;
    for (const SlotOutcome& outcome : slotOutcomes_) {
        QJsonObject json{{"slot", outcome.slot + 1},     {"module", outcome.module},
                         {"target", outcome.target},     {"running", outcome.running},
                         {"ok", outcome.atTarget}};
        if (!outcome.atTarget) {
            json["phase"] = outcome.phase;
            addAdvice(json, AdviceFor(outcome.phase, operation_));
        }
        slotsJson.append(json);
    }
    QJsonObject json{{"operation", operation_}, {"dryRun", dryRun_}, {"result", result_},
                     {"ok", !failed()},         {"phases", phases},  {"slots", slotsJson},
                     {"messages", messagesJson(messages_)}};
    if (failed()) addAdvice(json, advice());
    return json;
}

}  // namespace quorvel
