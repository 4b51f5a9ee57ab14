#pragma once
// The device tree's selection: which boxes are ticked and which can be ticked, the rules between
// processor, panel and amplifier slots, and which menu entries and toolbar buttons fit the
// selection. Front ends render it and forward clicks; it decides.
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "operator/shell/device_inventory.h"
#include "operator/shell/operator_ui.h"
#include "operator/shell/program_state.h"

namespace quorvel {

struct BoxSelection {
    bool ticked = false;
    bool enabled = false;
};

// What a selection holds: nothing, the processor, the panel or a set of amplifier slots.
enum class SelectedDevices { None, Processor, Panel, Amplifiers };

class DeviceSelection {
public:
    // Reads the inventory, the start mode, the option flags and `Busy` of `state` whenever it
    // decides; `state` must outlive the selection.
    explicit DeviceSelection(const ProgramState& state);

    // RefreshDeviceTree: after a scan, a port change or an operation. Boxes whose device is gone
    // are unticked; the rest keep their ticks.
    void refresh();
    // Unticks every box.
    void clear();

    // A click on a box. False (and nothing changes) when the box is disabled or `Busy` is set.
    bool setProcessorTicked(bool ticked);
    bool setPanelTicked(bool ticked);
    bool setSlotTicked(int slot, bool ticked);
    // The bootstrap in a production start: the panel box alone is ticked and enabled, also when
    // no scan reached the panel (its firmware may not start). Only in start mode "P".
    bool tickPanelForBootstrap();
    // Toolbar "SelectAll": unticks the enabled amplifier boxes when all of them are ticked, else
    // ticks every enabled amplifier box.
    bool SelectAllAmplifiers();
    // A click on the NodePod picture of `slot`: ticks the slot when that makes the NodePod entry
    // available. True when the NodePod entry is enabled afterwards.
    bool clickNodePod(int slot);

    BoxSelection processor() const;
    BoxSelection panel() const;
    BoxSelection slot(int slot) const;
    NodePodPicture nodePodPicture(int slot) const;
    SelectedDevices selected() const;
    std::vector<int> tickedSlots() const;  // ascending
    int tickedSlotMask() const;            // bit n = slot n

    // Whether a selection-dependent menu entry (`mnuTransferDown`, ...) or toolbar button
    // ("Download", "NodePod", "SelectAll") is enabled. Names not in DependentControls() are not
    // decided here and give true.
    bool isEnabled(const QString& control) const;
    QStringList enabledControls() const;  // the enabled ones of DependentControls()
    static const QStringList& DependentControls();

private:
    bool slotDetected(int slot) const;
    bool nodePodCapable(int slot) const;
    bool amplifierEntryEnabled(const QString& control) const;

    const ProgramState& state_;
    bool processorTicked_ = false;
    bool panelTicked_ = false;
    bool panelForced_ = false;  // ticked by the bootstrap; enabled until unticked
    std::array<bool, DeviceInventory::kSlots> slotTicked_{};
};

// EEPROM data can be read from a module: "RA901B" and "RA677" above firmware "P6.36", "RA901"
// above "P5.30" (text comparison); every other type holds no readable connection-board EEPROM.
bool EepromReadable(const SlotRecord& record);

// Types that run both as RA and as RC modules: only they switch their operating mode.
bool HasRcAndRaModes(const QString& type);
// Types whose sub-channel count (or NodePod count) can be changed.
bool HasSubChannelCount(const QString& type);

}  // namespace quorvel
