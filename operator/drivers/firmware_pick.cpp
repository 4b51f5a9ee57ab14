#include "operator/drivers/firmware_pick.h"

namespace quorvel {
namespace {

ChoiceList choiceListOf(const FirmwareList& list, const QString& downloadDirectory) {
    ChoiceList view;
    view.title = kFirmwareListCaption;
    view.columns = {kFirmwareColumn, kDescriptionColumn};
    for (const auto& entry : list.entries) view.rows.push_back({entry.text, entry.descriptionColumn()});
    view.defaultRow = list.defaultRow;
    if (list.defaultRow >= 0)
        view.additionalInfo =
            AdditionalInformation(downloadDirectory, list.entries[static_cast<size_t>(list.defaultRow)]);
    if (list.entries.empty()) {
        view.rows.clear();
        for (const QString& message : list.messages) view.rows.push_back({message});
        view.messagesOnly = true;
    }
    return view;
}

std::optional<int> rowNamed(const FirmwareList& list, const QString& name) {
    for (size_t row = 0; row < list.entries.size(); ++row)
        if (list.entries[row].key.compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(row);
    return std::nullopt;
}

}  // namespace

std::optional<QString> PickFirmware(DriverContext& context, const FirmwareTarget& target,
                                    const std::optional<QString>& preset) {
    ProgramState& state = context.state();
    const FirmwareList list = OpenFirmwareList(state, target);
    const std::optional<int> row = preset ? rowNamed(list, *preset)
                                          : context.ui().chooseFromList(
                                                choiceListOf(list, state.DownloadDirectory));
    StoreFirmwareChoice(state, list, row);
    if (state.SelectedFirmwareFile.isEmpty()) return std::nullopt;
    return state.SelectedFirmwareFile;
}

QStringList OfferedFirmware(ProgramState& state, const FirmwareTarget& target) {
    QStringList names;
    for (const auto& entry : OpenFirmwareList(state, target).entries) names << entry.key;
    return names;
}

}  // namespace quorvel
