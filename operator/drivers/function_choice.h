#pragma once
// Choosing a function of a processor firmware directory: which entries the start mode shows,
// which the program's version allows, the automatic choice of a single entry, the entry's
// question and its cancelling file count.
#include <QString>
#include <functional>
#include <optional>

#include "operator/drivers/function_file.h"

namespace quorvel {

// The caption of the function windows.
inline constexpr const char* kFunctionWindowTitle = "Download Firmware";

// What the function window needs from the operator.
struct FunctionWindowUi {
    // A message box (Windows style code); returns the answer's button code.
    std::function<int(const QString& prompt, int style)> showMessage;
    // One of the offered function names (one button each); nullopt when the window is left.
    std::function<std::optional<int>(const QStringList& names)> pressButton;
};

class DriverContext;
// The function window over the driver context's message boxes and one-of choice.
FunctionWindowUi FunctionWindowOf(DriverContext& context);

// The entries that take part in `startMode`: mode empty, "A" in "A", "S" in "S", "P" and "A".
bool FunctionVisible(const ProcessorFunction& entry, const QString& startMode);

// Names of the entries the operator can choose (visible, version allowed), without asking
// anything: what the command line offers.
QStringList OfferedFunctions(const FunctionFile& file, const QString& startMode,
                             const QString& programVersion);

// The chosen function, or nullopt (no function: the driver ends without connecting). Shows the
// file's messages first. `kind` names the file in the "No function found!" text.
std::optional<ProcessorFunction> ChooseFunction(const FunctionFile& file, FunctionFileKind kind,
                                                const QString& startMode,
                                                const QString& programVersion,
                                                const FunctionWindowUi& ui);

}  // namespace quorvel
