#include "operator/cli/firmware_report.h"

#include <QStringList>
#include <algorithm>

namespace quorvel::cli {
namespace {

std::string kindText(FirmwareDeviceKind kind) {
    switch (kind) {
        case FirmwareDeviceKind::Processor:
            return "processor";
        case FirmwareDeviceKind::Panel:
            return "panel";
        case FirmwareDeviceKind::PanelLoader1:
            return "panel loader 1";
        case FirmwareDeviceKind::Amplifier:
            return "amplifier";
        case FirmwareDeviceKind::AmplifierLoader1:
            return "amplifier loader 1";
        case FirmwareDeviceKind::AmplifierDriverMode:
            return "amplifier driver mode";
        case FirmwareDeviceKind::NodePod:
            return "NodePod";
        case FirmwareDeviceKind::NodePodLoader1:
            return "NodePod loader 1";
        case FirmwareDeviceKind::None:
            break;
    }
    return "none";
}

std::vector<std::string> strings(const QStringList& texts) {
    std::vector<std::string> result;
    for (const QString& text : texts) result.push_back(text.toStdString());
    return result;
}

std::string padded(const std::string& text, size_t width) {
    return text + std::string(width > text.size() ? width - text.size() : 1, ' ');
}

}  // namespace

std::string FirmwareDeviceText(const FirmwareTarget& target) {
    std::string text = kindText(target.kind);
    if (target.slot >= 0) text += " in slot " + std::to_string(target.slot + 1);
    return text;
}

nlohmann::json FirmwareListJson(const FirmwareList& list) {
    nlohmann::json entries = nlohmann::json::array();
    for (size_t row = 0; row < list.entries.size(); ++row) {
        const FirmwareEntry& e = list.entries[row];
        entries.push_back({{"name", e.key.toStdString()},
                           {"version", e.version.toStdString()},
                           {"description", e.description.trimmed().toStdString()},
                           {"information", e.hasInformation},
                           {"default", static_cast<int>(row) == list.defaultRow}});
    }
    nlohmann::json json = {{"device", FirmwareDeviceText(list.target)},
                           {"displayPattern", list.search.displayPattern.toStdString()},
                           {"searchPatterns", strings(list.search.searchPatterns)},
                           {"directoriesOnly", list.search.directoriesOnly},
                           {"entries", entries},
                           {"messages", strings(list.messages)}};
    if (list.target.slot >= 0) json["slot"] = list.target.slot + 1;
    return json;
}

std::string FirmwareListTable(const FirmwareList& list) {
    if (list.entries.empty()) {
        std::string text;
        for (const QString& line : list.messages) text += line.toStdString() + "\n";
        return text;
    }
    size_t width = std::string("FIRMWARE").size();
    for (const FirmwareEntry& e : list.entries)
        width = std::max(width, e.text.toStdString().size());
    std::string table = "  " + padded("FIRMWARE", width + 2) + "DESCRIPTION\n";
    for (size_t row = 0; row < list.entries.size(); ++row) {
        const FirmwareEntry& e = list.entries[row];
        const std::string mark = static_cast<int>(row) == list.defaultRow ? "* " : "  ";
        table += mark + padded(e.key.toStdString(), width + 2) +
                 e.descriptionColumn().trimmed().toStdString() + "\n";
    }
    return table;
}

}  // namespace quorvel::cli
