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

// "state" and "newer_firmware" (null when there is none) of one device.
void addStatus(nlohmann::json& device, const DeviceStatus& status) {
    device["state"] = DeviceStateName(status.state);
    device["newer_firmware"] = status.newerFirmware.isEmpty()
                                   ? nlohmann::json(nullptr)
                                   : nlohmann::json(text(status.newerFirmware));
    device["reason"] = text(status.reason);
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
    return {{"slot", s.Slot + 1},
            {"channel", s.Slot},
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

using Row = std::array<std::string, 9>;

// The state column and the newer firmware's version.
std::pair<std::string, std::string> statusCells(const DeviceStatus& status) {
    if (status.state == DeviceState::Empty) return {"-", "-"};
    return {DeviceStateName(status.state), cell(status.newerFirmware)};
}

Row row(const std::string& position, const std::string& identity, const std::string& type,
        const std::string& version, const std::string& controller, const std::string& hardware,
        const std::string& prefix, const DeviceStatus& status) {
    const auto [state, newer] = statusCells(status);
    return {position, identity, type, version, controller, hardware, prefix, state, newer};
}

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

nlohmann::json InventoryJson(const DeviceInventory& inventory, const RackStatus& status) {
    nlohmann::json slotList = nlohmann::json::array();
    for (const auto& slot : inventory.slotRecords) {
        if (!slot.Present) continue;
        nlohmann::json entry = slotJson(slot);
        addStatus(entry, status.amplifierSlots[static_cast<size_t>(slot.Slot)]);
        slotList.push_back(entry);
    }
    nlohmann::json processor = processorJson(inventory.processor);
    addStatus(processor, status.processor);
    nlohmann::json panel = panelJson(inventory.panel);
    addStatus(panel, status.panel);
    return {{"processor", processor},
            {"panel", panel},
            {"slots", slotList},
            {"summary", text(status.summary())}};
}

std::string InventoryTable(const DeviceInventory& inventory, const RackStatus& status) {
    std::vector<Row> rows{{"POSITION", "IDENTITY", "TYPE", "VERSION", "CTRL", "HW REV", "PREFIX",
                           "STATE", "NEWER"}};
    std::vector<std::string> reasons;
    const auto note = [&reasons](const std::string& position, const DeviceStatus& s) {
        if (s.state == DeviceState::Attention) reasons.push_back(position + ": " + text(s.reason));
    };
    const ProcessorRecord& p = inventory.processor;
    rows.push_back(row("KX", cell(p.Identity), cell(p.ProcessorType), cell(p.SoftwareVersion), "-",
                       cell(p.HardwareRevision), "-", status.processor));
    note("KX", status.processor);
    const PanelRecord& d = inventory.panel;
    if (d.Present) {
        rows.push_back(row("DV", cell(d.Identity), cell(d.PanelType), cell(d.SoftwareVersion), "-",
                           cell(d.HardwareRevision), "-", status.panel));
        note("DV", status.panel);
    }
    for (const auto& s : inventory.slotRecords) {
        if (!s.Present) continue;
        const bool detected = s.Identity != "not detected";
        const std::string position = QString("%1").arg(s.Slot + 1, 2, 10, QChar('0')).toStdString();
        const DeviceStatus& slotStatus = status.amplifierSlots[static_cast<size_t>(s.Slot)];
        rows.push_back(row(position, cell(s.Identity), detected ? cell(s.IdentifiedType) : "-",
                           detected ? cell(s.SoftwareVersion) : "-",
                           s.ControllerKind ? std::to_string(s.ControllerKind) : "-",
                           detected ? cell(s.HardwareRevision) : "-", cell(s.TypePrefix),
                           slotStatus));
        note(position, slotStatus);
    }
    std::string table = render(rows);
    for (const std::string& reason : reasons) table += reason + "\n";
    const std::string summary = text(status.summary());
    if (!summary.empty()) table += summary + "\n";
    return table;
}

}  // namespace quorvel::cli
