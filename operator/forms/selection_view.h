#pragma once
// Shows the device selection in the main window: ticks and enabling of the boxes, the NodePod
// pictures and the enabling of the menu entries and toolbar buttons that depend on it.
#include "operator/drivers/device_selection.h"
#include "operator/forms/main_window.h"

namespace quorvel::forms {

// The toolbar buttons the selection decides, by their key.
inline const QStringList kSelectionButtons = {"Download", "NodePod", "SelectAll"};

void ShowSelection(const DeviceSelection& selection, MainWindow& window);

}  // namespace quorvel::forms
