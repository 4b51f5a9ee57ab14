#include "operator/forms/command_line.h"

namespace quorvel::forms {
namespace {

const QStringList kStartModes = {"S", "A", "P", "PS", "O"};
const QString kSimulate = "--simulate";

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine line;
    for (const QString& argument : arguments) {
        if (argument == "-h" || argument == "--help") {
            line.help = true;
        } else if (argument == "--dark") {
            line.dark = true;
        } else if (argument == kSimulate) {
            line.simulate = QString();
        } else if (argument.startsWith(kSimulate + "=")) {
            line.simulate = argument.mid(kSimulate.size() + 1);
        } else if (kStartModes.contains(argument) && line.startMode.isEmpty()) {
            line.startMode = argument;
        } else {
            line.error = "unknown argument \"" + argument + "\"";
        }
    }
    return line;
}

}  // namespace quorvel::forms
