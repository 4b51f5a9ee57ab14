#pragma once
// The firmware chosen for a device: the file (full path) and its version text ("P2.07").
// Front ends decide how it is chosen: the firmware list window (ChooseFromFirmwareList), the
// command line's --firmware, or the list's default row in quiet mode.
#include <QString>
#include <functional>
#include <optional>

#include "operator/drivers/firmware_catalogue.h"
#include "operator/shell/operator_ui.h"

namespace quorvel {

struct FirmwareChoice {
    QString file;
    QString version;
};

// nullopt: cancelled, or nothing offered. `quiet`: nobody is asked, the list's default is taken.
using FirmwareChooser =
    std::function<std::optional<FirmwareChoice>(const FirmwareTarget& target, bool quiet)>;

// The list as the operator sees it: one row per entry (upper-case name, version and description),
// or the messages when nothing was found.
ChoiceList FirmwareChoiceList(const FirmwareList& list, bool quiet);

// Opens the firmware list for `target`, lets `ui` choose, stores the choice in the program state
// (`SelectedFirmwareFile`, `SelectedFirmwareVersion`) and returns it with its full path.
std::optional<FirmwareChoice> ChooseFromFirmwareList(ProgramState& state, OperatorUi& ui,
                                                     const FirmwareTarget& target, bool quiet);

// The stored choice with its full path; nullopt when nothing was chosen.
std::optional<FirmwareChoice> StoredFirmwareChoice(const ProgramState& state);

}  // namespace quorvel
