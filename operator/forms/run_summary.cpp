#include "operator/forms/run_summary.h"

#include <QRegularExpression>
#include <map>

#include "operator/drivers/failure_advice.h"
#include "operator/drivers/firmware_catalogue.h"

namespace quorvel::forms {
namespace {

// The slots a phase names in its details ("slots 1,2,3", 1-based).
std::vector<int> slotsOf(const Phase& phase) {
    static const QRegularExpression kSlots("^slots? ([0-9,]+)$");
    std::vector<int> named;
    for (const QString& detail : phase.details) {
        const auto match = kSlots.match(detail);
        if (!match.hasMatch()) continue;
        for (const QString& number : match.captured(1).split(',', Qt::SkipEmptyParts))
            named.push_back(number.toInt() - 1);
    }
    return named;
}

// The version of the firmware a phase names ("firmware /path/RA51P207.S00"), else empty.
QString firmwareOf(const Phase& phase) {
    for (const QString& detail : phase.details) {
        const QString file = detail.startsWith("firmware ")         ? detail.mid(9)
                             : phase.name == "download application" ? detail
                                                                    : QString();
        if (file.isEmpty()) continue;
        const QString version = VersionFromFileName(file.section('/', -1).toUpper());
        if (!version.isEmpty()) return version;
    }
    return {};
}

// The node a NodePod run's failed phase ("node 4", detail "serial number 1004") worked on.
QString failingNodeOf(const RunReport& report) {
    const Phase* failed = report.failedPhase();
    if (!failed || !failed->name.startsWith("node ")) return {};
    QString node = "ID " + failed->name.mid(5);
    for (const QString& detail : failed->details)
        if (detail.startsWith("serial number ")) node += ", " + detail;
    return node;
}

QString causeOf(QString cause, int result) {
    cause.replace('\r', ' ');
    const QString code = QString(" (result %1)").arg(result);
    return cause.isEmpty() ? "The operation ended with an error" + code + "." : cause + code;
}

QString slotLine(const SlotRun& run) {
    return QString("Slot %1 %2: %3 -> %4%5, %6 (%7)")
        .arg(run.slot + 1)
        .arg(run.module, run.before.isEmpty() ? "-" : run.before,
             run.target.isEmpty() ? "-" : run.target,
             run.after.isEmpty() ? QString() : ", now " + run.after, run.result, run.phase);
}

}  // namespace

RunSummary SummariseRun(const RunReport& report, int result, const DeviceInventory& before,
                        const DeviceInventory& after, const QString& chosenVersion) {
    RunSummary summary;
    summary.operation = report.operation();
    summary.failed = result != 0 && report.failed();
    std::map<int, SlotRun> runs;
    QString target = chosenVersion;
    for (const Phase& phase : report.phases()) {
        if (const QString version = firmwareOf(phase); !version.isEmpty()) target = version;
        for (const int slot : slotsOf(phase)) {
            if (slot < 0 || slot >= DeviceInventory::kSlots) continue;
            SlotRun& run = runs[slot];
            const bool alreadyFailed = run.result == OutcomeName(Outcome::Failed);
            run.slot = slot;
            run.target = target;
            if (alreadyFailed) continue;
            run.phase = phase.name;
            run.result = OutcomeName(phase.outcome);
        }
    }
    for (auto& [slot, run] : runs) {
        const SlotRecord& was = before.slotRecords[static_cast<size_t>(slot)];
        const SlotRecord& now = after.slotRecords[static_cast<size_t>(slot)];
        run.module = was.IdentifiedType.isEmpty() ? was.TypePrefix : was.IdentifiedType;
        run.before = was.SoftwareVersion;
        if (now.SoftwareVersion != was.SoftwareVersion) run.after = now.SoftwareVersion;
        summary.slotRuns.push_back(run);
    }
    if (summary.failed) {
        const FailureAdvice advice = report.advice();
        summary.cause = causeOf(report.problem(), result);
        summary.deviceState = advice.state;
        summary.nextStep = advice.nextStep;
        summary.failingNode = failingNodeOf(report);
    }
    return summary;
}

QString RunSummary::text() const {
    QStringList lines{"Operation: " + operation};
    if (failed) {
        lines << "What happened: " + cause;
        if (!failingNode.isEmpty()) lines << "NODEPOD: " + failingNode;
        lines << "State of the device: " + deviceState
              << "What to do next: " + nextStep;
    } else {
        lines << "Result: done";
    }
    for (const SlotRun& run : slotRuns) lines << slotLine(run);
    return lines.join('\n') + '\n';
}

}  // namespace quorvel::forms
