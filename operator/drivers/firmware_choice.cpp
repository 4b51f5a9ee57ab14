#include "operator/drivers/firmware_choice.h"

#include <QDir>

namespace quorvel {

ChoiceList FirmwareChoiceList(const FirmwareList& list, bool quiet) {
    ChoiceList view;
    view.title = kFirmwareListCaption;
    view.columns = {kFirmwareColumn, kDescriptionColumn};
    view.autoConfirm = quiet;
    if (list.entries.empty()) {
        view.messagesOnly = true;
        for (const QString& message : list.messages) view.rows.push_back({message, {}});
        return view;
    }
    for (const FirmwareEntry& entry : list.entries) {
        view.rows.push_back({entry.text, entry.descriptionColumn()});
    }
    view.defaultRow = list.defaultRow;
    if (list.defaultRow >= 0 && list.entries[list.defaultRow].hasInformation) {
        view.additionalInfo = list.entries[list.defaultRow].description;
    }
    return view;
}

std::optional<FirmwareChoice> StoredFirmwareChoice(const ProgramState& state) {
    if (state.SelectedFirmwareFile.isEmpty()) return std::nullopt;
    return FirmwareChoice{QDir(state.DownloadDirectory).filePath(state.SelectedFirmwareFile),
                          state.SelectedFirmwareVersion};
}

std::optional<FirmwareChoice> ChooseFromFirmwareList(ProgramState& state, OperatorUi& ui,
                                                     const FirmwareTarget& target, bool quiet) {
    const FirmwareList list = OpenFirmwareList(state, target);
    const std::optional<int> row = ui.chooseFromList(FirmwareChoiceList(list, quiet));
    StoreFirmwareChoice(state, list, row);
    return StoredFirmwareChoice(state);
}

}  // namespace quorvel
