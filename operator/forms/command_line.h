#pragma once
// quorvel [S|A|P|PS|O] [--simulate[=RACK_FILE]] [--dark]
#include <QString>
#include <QStringList>
#include <optional>

namespace quorvel::forms {

struct CommandLine {
    QString startMode;                // empty: a normal start
    std::optional<QString> simulate;  // empty text: the shipped default rack
    bool help = false;
    bool dark = false;  // the dark palette instead of the desktop's
    QString error;  // not empty: the arguments could not be read
};

// `arguments` without the program name.
CommandLine ParseCommandLine(const QStringList& arguments);

inline constexpr const char* kUsage =
    "Usage: quorvel [S|A|P|PS|O] [--simulate[=RACK_FILE]] [--dark]\n"
    "  S, A, P, PS, O   start mode (service, admin, production, production sequential, OEM)\n"
    "  --simulate       run a simulated rack inside the program and connect to it; stored\n"
    "                   settings stay as they are (RACK_FILE: the rack to simulate); its\n"
    "                   download directory holds test firmware for that rack\n"
    "  --dark           dark colours instead of the desktop's (also Options > Dark theme)\n";

}  // namespace quorvel::forms
