#include "operator/forms/selection_view.h"

#include <QAction>

namespace quorvel::forms {
namespace {

void showBox(DeviceTree& tree, DeviceRef device, BoxSelection box) {
    tree.setChecked(device, box.ticked);
    tree.setBoxEnabled(device, box.enabled);
}

}  // namespace

void ShowSelection(const DeviceSelection& selection, MainWindow& window) {
    DeviceTree& tree = *window.deviceTree();
    showBox(tree, {DeviceBox::Processor, 0}, selection.processor());
    showBox(tree, {DeviceBox::Panel, 0}, selection.panel());
    for (int slot = 0; slot < DeviceInventory::kSlots; ++slot) {
        showBox(tree, {DeviceBox::Slot, slot}, selection.slot(slot));
        tree.setNodePodPicture(slot, selection.nodePodPicture(slot));
    }
    for (const QString& control : DeviceSelection::DependentControls()) {
        const bool enabled = selection.isEnabled(control);
        if (QAction* entry = window.entry(control)) entry->setEnabled(enabled);
        if (QAction* button = window.toolbarButton(control)) button->setEnabled(enabled);
    }
}

}  // namespace quorvel::forms
