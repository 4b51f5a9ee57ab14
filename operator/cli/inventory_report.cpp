#include "operator/cli/inventory_report.h"

#include <algorithm>
#include <array>
#include <sstream>
#include <vector>

namespace quorvel::cli {
namespace {

std::string text(const QString& s) { return s.toStdString(); }

// A text for a table cell: CR and LF shown as blanks, "-" when empty.
std::string cell(const QString& s) {
    const std::string t = QString(s).replace('\r', ' ').replace('\n', ' ').trimmed().toStdString();
    return t.empty() ? "-" : t;
}

nlohmann::json processorJson(const ProcessorRecord& p) {
    return {{"identity", text(p.Identity)},
            {"type", text(p.ProcessorType)},
            {"softwareVersion", text(p.SoftwareVersion)},
            {"versionSuffix", text(p.VersionSuffix)},
            {"loaderRevision", text(p.LoaderRevision)},
            {"inBootLoader", p.InBootLoader},
            {"hardwareRevision", text(p.HardwareRevision)},
            {"kernelRevision", text(p.KernelRevision)},
            {"fileSystemRevision", text(p.FileSystemRevision)},
            {"loaderBiosRevision", text(p.LoaderBiosRevision)}};
}

nlohmann::json panelJson(const PanelRecord& p) {
    return {{"present", p.Present},
            {"identity", text(p.Identity)},
            {"type", text(p.PanelType)},
            {"softwareVersion", text(p.SoftwareVersion)},
            {"hardwareRevision", text(p.HardwareRevision)},
            {"serialNumber", text(p.SerialNumber)}};
}

nlohmann::json slotJson(const SlotRecord& s) {
    return {{"slot", s.Slot},
            {"present", s.Present},
            {"detected", s.Identity != "not detected" && !s.Identity.isEmpty()},
            {"identity", text(s.Identity)},
            {"type", text(s.IdentifiedType)},
            {"amtNumber", s.AmtNumber},
            {"ampCode", s.AmpCode},
            {"softwareVersion", text(s.SoftwareVersion)},
            {"versionSuffix", text(s.VersionSuffix)},
            {"controllerKind", s.ControllerKind},
            {"hardwareRevision", text(s.HardwareRevision)},
            {"typePrefix", text(s.TypePrefix)},
            {"secondTypePrefix", text(s.SecondTypePrefix)},
            {"startAddress", s.StartAddress},
            {"subChannelCount", s.SubChannelCount}};
}

using Row = std::array<std::string, 7>;

std::string render(const std::vector<Row>& rows) {
    std::array<size_t, std::tuple_size_v<Row>> widths{};
    for (const auto& row : rows) {
        for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
    }
    std::ostringstream out;
    for (const auto& row : rows) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i) {
            line += row[i] + std::string(widths[i] - row[i].size() + 2, ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    }
    return out.str();
}

}  // namespace

nlohmann::json InventoryJson(const DeviceInventory& inventory) {
    nlohmann::json slotList = nlohmann::json::array();
    for (const auto& slot : inventory.slotRecords) {
        if (slot.Present) slotList.push_back(slotJson(slot));
    }
    return {{"processor", processorJson(inventory.processor)},
            {"panel", panelJson(inventory.panel)},
            {"slots", slotList}};
}

std::string InventoryTable(const DeviceInventory& inventory) {
    std::vector<Row> rows{{"POSITION", "IDENTITY", "TYPE", "VERSION", "CTRL", "HW REV", "PREFIX"}};
    const ProcessorRecord& p = inventory.processor;
    rows.push_back({"KX", cell(p.Identity), cell(p.ProcessorType), cell(p.SoftwareVersion), "-",
                    cell(p.HardwareRevision), "-"});
    const PanelRecord& d = inventory.panel;
    if (d.Present) {
        rows.push_back({"DV", cell(d.Identity), cell(d.PanelType), cell(d.SoftwareVersion), "-",
                        cell(d.HardwareRevision), "-"});
    }
    for (const auto& s : inventory.slotRecords) {
        if (!s.Present) continue;
        const bool detected = s.Identity != "not detected";
        const std::string position = QString("%1").arg(s.Slot + 1, 2, 10, QChar('0')).toStdString();
        rows.push_back({position, cell(s.Identity), detected ? cell(s.IdentifiedType) : "-",
                        detected ? cell(s.SoftwareVersion) : "-",
                        s.ControllerKind ? std::to_string(s.ControllerKind) : "-",
                        detected ? cell(s.HardwareRevision) : "-", cell(s.TypePrefix)});
    }
    return render(rows);
}

}  // namespace quorvel::cli
