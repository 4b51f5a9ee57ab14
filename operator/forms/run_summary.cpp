#include "operator/forms/run_summary.h"

#include <QRegularExpression>
#include <map>

#include "operator/drivers/firmware_catalogue.h"

namespace quorvel::forms {
namespace {

// How far a failing phase got, and so what is left on the device.
enum class Left { Untouched, InLoader, Replacing, Written, NodePodLoader, Unknown };

Left leftBy(const QString& phase) {
    static const std::map<QString, Left> kPhases = {
        {"check selection", Left::Untouched},
        {"switch to loader 1", Left::InLoader},
        {"download loader 2", Left::InLoader},
        {"delete CAN database", Left::InLoader},
        {"download application", Left::Replacing},
        {"start application", Left::Replacing},
        {"verify new firmware", Left::Replacing},
        {"loader 2 of the new firmware", Left::Written},
        {"establish", Left::Written},
        {"reset", Left::Written},
        {"reset rack", Left::Written},
    };
    if (phase.startsWith("node ")) return Left::NodePodLoader;
    const auto found = kPhases.find(phase);
    return found == kPhases.end() ? Left::Unknown : found->second;
}

QString stateText(Left left) {
    switch (left) {
        case Left::Untouched:
            return "Nothing was written: the old firmware is intact.";
        case Left::InLoader:
            return "The old firmware is intact; the module may wait in its loader until the rack "
                   "is reset.";
        case Left::Replacing:
            return "The firmware was being replaced: the module waits in its loader without a "
                   "complete firmware.";
        case Left::Written:
            return "The new firmware is written; the module may not have restarted with it.";
        case Left::NodePodLoader:
            return "The NodePod may be left in its loader.";
        case Left::Unknown:
            break;
    }
    return "Unknown: the program cannot tell what the device holds now.";
}

QString nextStepText(Left left) {
    switch (left) {
        case Left::Untouched:
        case Left::InLoader:
            return "Check the connection (Options, Port), reset the rack (Tools, Reset Ventrix) "
                   "and start the download again.";
        case Left::Replacing:
            return "Do not switch the rack off. Start the same download again at once: the "
                   "module takes new firmware from its loader. If it fails again, save the "
                   "diagnostics and send them to service.";
        case Left::Written:
            return "Switch the rack off and on, scan, and check the version shown for the module.";
        case Left::NodePodLoader:
            return "Leave the NodePod window, switch the rack and the NodePods off and on, and "
                   "start the NodePod download again.";
        case Left::Unknown:
            break;
    }
    return "Switch the rack off and on, scan, and check every module; save the diagnostics if "
           "the failure repeats.";
}

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

bool isProblem(const ReportMessage& message) {
    return message.kind != ReportMessage::Kind::Information;
}

// The first warning or error of the failing phase: the library's own words come before the
// driver's conclusion. Without one, the last problem the operation reported.
QString causeOf(const RunReport& report, const Phase* failedPhase, int result) {
    QString cause;
    if (failedPhase)
        for (const ReportMessage& message : failedPhase->messages)
            if (isProblem(message) && cause.isEmpty()) cause = message.text;
    if (cause.isEmpty()) {
        for (const ReportMessage& message : report.messages())
            if (isProblem(message)) cause = message.text;
        for (const Phase& phase : report.phases())
            for (const ReportMessage& message : phase.messages)
                if (isProblem(message)) cause = message.text;
    }
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
    const Phase* failedPhase = nullptr;
    for (const Phase& phase : report.phases()) {
        if (const QString version = firmwareOf(phase); !version.isEmpty()) target = version;
        if (phase.outcome == Outcome::Failed && !failedPhase) failedPhase = &phase;
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
        const Left left = failedPhase ? leftBy(failedPhase->name) : Left::Unknown;
        summary.cause = causeOf(report, failedPhase, result);
        summary.deviceState = stateText(left);
        summary.nextStep = nextStepText(left);
    }
    return summary;
}

QString RunSummary::text() const {
    QStringList lines{"Operation: " + operation};
    if (failed) {
        lines << "What happened: " + cause << "State of the device: " + deviceState
              << "What to do next: " + nextStep;
    } else {
        lines << "Result: done";
    }
    for (const SlotRun& run : slotRuns) lines << slotLine(run);
    return lines.join('\n') + '\n';
}

}  // namespace quorvel::forms
