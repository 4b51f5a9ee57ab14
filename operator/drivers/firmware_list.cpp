// The firmware list: the download directory searched with a device's patterns, each entry with
// its version and description, the default choice, and what OK and Cancel store.
#include <QDir>
#include <algorithm>

#include "operator/drivers/firmware_catalogue.h"
#include "operator/drivers/information_file.h"

namespace quorvel {
namespace {

bool isF72Name(const QString& text) { return text.contains(".F72") || text.contains(".S72"); }

bool isStandardRelease(const QString& text) { return text.endsWith(".S00"); }

// The names in listing order, each with the index of the first pattern that found it.
std::vector<std::pair<QString, int>> listNames(const QDir& directory, const FirmwareSearch& search) {
    const QDir::Filters filters =
        search.directoriesOnly ? QDir::Dirs | QDir::NoDotAndDotDot : QDir::Files;
    std::vector<std::pair<QString, int>> names;
    QStringList seen;
    for (int pattern = 0; pattern < search.searchPatterns.size(); ++pattern) {
        for (const QString& name : directory.entryList({search.searchPatterns[pattern]}, filters,
                                                       QDir::Name | QDir::IgnoreCase)) {
            if (search.hideF72 && isF72Name(name.toUpper())) continue;
            if (seen.contains(name)) continue;
            seen << name;
            names.emplace_back(name, pattern);
        }
    }
    return names;
}

void describe(FirmwareEntry& entry, const QDir& directory) {
    const auto information = FindInformationFile(directory, InformationFileName(entry.text));
    entry.hasInformation = information.has_value();
    entry.version = VersionFromFileName(entry.text);
    if (information) {
        entry.description = ReadInformationFields(*information).value_or(QStringList()).value(0);
    } else {
        entry.description = isStandardRelease(entry.text) ? " " : "Special version";
    }
}

// The newest standard release (".S00") of the first pattern that found one: the module's own
// type before the names of its family or second prefix. Without a standard release the newest
// entry of the first pattern. Of equal versions the first in listing order.
int newestRow(const std::vector<FirmwareEntry>& entries) {
    const auto standard = std::find_if(entries.begin(), entries.end(), [](const auto& entry) {
        return isStandardRelease(entry.text);
    });
    const bool anyStandard = standard != entries.end();
    const int pattern = anyStandard ? standard->pattern : entries.front().pattern;
    int newest = -1;
    for (size_t row = 0; row < entries.size(); ++row) {
        const FirmwareEntry& entry = entries[row];
        if (entry.pattern != pattern || (anyStandard && !isStandardRelease(entry.text))) continue;
        if (newest < 0 || entry.version > entries[static_cast<size_t>(newest)].version)
            newest = static_cast<int>(row);
    }
    return newest;
}

QStringList notFoundMessages(const FirmwareSearch& search) {
    if (search.unsupported) return {"Device not supported!"};
    QStringList messages = {"No Firmware found!", "Please copy files", search.displayPattern};
    if (!search.secondDisplayPattern.isEmpty()) messages << "or" << search.secondDisplayPattern;
    messages << "to directory set in"
             << "Transfer->Directory.. !";
    return messages;
}

}  // namespace

FirmwareList ListFirmware(const QString& downloadDirectory, const FirmwareTarget& target,
                          const FirmwareSearch& search) {
    FirmwareList list{target, search, {}, {}, -1};
    const QDir directory(downloadDirectory);
    if (!search.unsupported && !downloadDirectory.isEmpty() && directory.exists()) {
        for (const auto& [name, pattern] : listNames(directory, search)) {
            FirmwareEntry entry;
            entry.key = name;
            entry.pattern = pattern;
            entry.text = name.toUpper();
            describe(entry, directory);
            list.entries.push_back(entry);
        }
    }
    if (list.entries.empty()) {
        list.messages = notFoundMessages(search);
        return list;
    }
    list.defaultRow = newestRow(list.entries);
    return list;
}

FirmwareList OpenFirmwareList(ProgramState& state, const FirmwareTarget& target) {
    FirmwareList list =
        ListFirmware(state.DownloadDirectory, target, BuildFirmwareSearch(target, state));
    if (list.entries.empty()) StoreFirmwareChoice(state, list, std::nullopt);
    return list;
}

void StoreFirmwareChoice(ProgramState& state, const FirmwareList& list, std::optional<int> row) {
    const bool chosen = row && *row >= 0 && *row < static_cast<int>(list.entries.size());
    state.SelectedFirmwareFile = chosen ? list.entries[*row].key : QString();
    state.SelectedFirmwareVersion = VersionFromFileName(state.SelectedFirmwareFile);
}

void StoreQuietChoice(ProgramState& state, const FirmwareList& list) {
    StoreFirmwareChoice(state, list, list.defaultRow);
}

QString AdditionalInformation(const QString& downloadDirectory, const FirmwareEntry& entry) {
    const auto path = FindInformationFile(QDir(downloadDirectory), InformationFileName(entry.text));
    const auto fields = path ? ReadInformationFields(*path) : std::nullopt;
    if (!fields) return "No additional information available.";
    QString text = "Additional Firmware information\rfor " + entry.text + " :\r";
    for (const QString& field : *fields) text += "\r" + field;
    return text;
}

}  // namespace quorvel
