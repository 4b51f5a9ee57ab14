#include "operator/drivers/function_choice.h"

#include <vector>

#include "operator/drivers/driver_context.h"
#include "operator/shell/operator_ui.h"

namespace quorvel {
namespace {

QString noFunctionText(FunctionFileKind kind) {
    return QString("No function found! Please check configuration file ") +
           (kind == FunctionFileKind::Kx33 ? "kx33.cfg!" : "kx43.cfg!");
}

bool versionAllows(const ProcessorFunction& entry, const QString& programVersion) {
    return !(entry.minimumVersion > programVersion);
}

// The entry as its button does it: the question first; a negative file count cancels.
std::optional<ProcessorFunction> press(const ProcessorFunction& entry, const FunctionWindowUi& ui) {
    if (entry.question != "-") {
        const int answer = ui.showMessage(entry.question, entry.questionStyle);
        if (answer == kAnswerCancel || answer == kAnswerAbort || answer == kAnswerNo)
            return std::nullopt;
    }
    if (entry.fileCount < 0) return std::nullopt;
    return entry;
}

}  // namespace

FunctionWindowUi FunctionWindowOf(DriverContext& context) {
    return {
        [&context](const QString& prompt, int style) { return context.ShowMessage(prompt, style); },
        [&context](const QStringList& names) {
            return context.ui().chooseOne(kFunctionWindowTitle, names);
        }};
}

bool FunctionVisible(const ProcessorFunction& entry, const QString& startMode) {
    if (entry.mode.isEmpty()) return true;
    if (entry.mode == "A") return startMode == "A";
    if (entry.mode == "S") return startMode == "S" || startMode == "P" || startMode == "A";
    return false;
}

QStringList OfferedFunctions(const FunctionFile& file, const QString& startMode,
                             const QString& programVersion) {
    QStringList names;
    for (const auto& entry : file.entries)
        if (FunctionVisible(entry, startMode) && versionAllows(entry, programVersion))
            names << entry.name;
    return names;
}

std::optional<ProcessorFunction> ChooseFunction(const FunctionFile& file, FunctionFileKind kind,
                                                const QString& startMode,
                                                const QString& programVersion,
                                                const FunctionWindowUi& ui) {
    for (const QString& message : file.messages) ui.showMessage(message, kIconExclamation);
    if (file.aborted) return std::nullopt;
    std::vector<const ProcessorFunction*> enabled;
    bool versionMessage = false;
    for (const auto& entry : file.entries) {
        if (!FunctionVisible(entry, startMode)) continue;
        if (!versionAllows(entry, programVersion)) {
            ui.showMessage("To perform function *" + entry.name +
                               "* you need at least Quorlink Version " + entry.minimumVersion,
                           kIconExclamation);
            versionMessage = true;
            continue;
        }
        enabled.push_back(&entry);
    }
    if (enabled.empty()) {
        ui.showMessage(noFunctionText(kind), kIconExclamation);
        return std::nullopt;
    }
    if (enabled.size() == 1 && file.fromFile && !file.formatError && !versionMessage)
        return press(*enabled.front(), ui);
    QStringList names;
    for (const auto* entry : enabled) names << entry->name;
    const auto button = ui.pressButton(names);
    if (!button || *button < 0 || *button >= names.size()) return std::nullopt;
    return press(*enabled[static_cast<size_t>(*button)], ui);
}

}  // namespace quorvel
