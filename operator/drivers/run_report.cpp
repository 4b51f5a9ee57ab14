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

bool RunReport::failed() const {
    if (result_ != 0) return true;
    for (const auto& phase : phases_)
        if (phase.outcome == Outcome::Failed) return true;
    return false;
}

QJsonObject RunReport::toJson() const {
    QJsonArray phases;
    for (const auto& phase : phases_) {
        phases.append(QJsonObject{{"name", phase.name},
                                  {"outcome", OutcomeName(phase.outcome)},
                                  {"details", QJsonArray::fromStringList(phase.details)},
                                  {"messages", messagesJson(phase.messages)}});
    }
    return {{"operation", operation_}, {"dryRun", dryRun_}, {"result", result_},
            {"ok", !failed()},         {"phases", phases},  {"messages", messagesJson(messages_)}};
}

}  // namespace quorvel
