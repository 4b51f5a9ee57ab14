#pragma once
// The device frame: the processor, the panel and the 16 amplifier slots as check boxes, a NodePod
// picture beside each slot. It only shows what it is told and reports what the operator does.
#include <QFrame>
#include <array>

#include "operator/forms/nodepod_picture.h"
#include "operator/shell/device_inventory.h"
#include "operator/shell/operator_ui.h"

class QCheckBox;
class QLabel;

namespace quorvel::forms {

// One device of the tree: the processor, the panel or an amplifier slot.
struct DeviceRef {
    DeviceBox box = DeviceBox::Processor;
    int slot = 0;
    bool operator==(const DeviceRef&) const = default;
};

class DeviceTree : public QFrame {
    Q_OBJECT
  public:
    explicit DeviceTree(QWidget* parent = nullptr);

    QCheckBox* checkBox(DeviceRef device) const;
    NodePodPictureLabel* nodePodPicture(int slot) const { return pictures_[slot]; }

    void setBox(DeviceRef device, const DeviceBoxState& state);
    void setChecked(DeviceRef device, bool checked);
    bool isChecked(DeviceRef device) const;
    void setBoxEnabled(DeviceRef device, bool enabled);
    void setNodePodPicture(int slot, NodePodPicture picture);
    // The mark beside a slot when the download directory holds newer firmware for its module
    // (empty `version`: no mark); the mark's text, empty when none is shown.
    void setNewerFirmware(int slot, const QString& version);
    QString newerFirmware(int slot) const;

  signals:
    // The operator clicked a box; `checked` is its new state.
    void boxClicked(quorvel::forms::DeviceRef device, bool checked);
    void nodePodClicked(int slot);
    void nodePodDoubleClicked(int slot);
    void informationRequested(quorvel::forms::DeviceRef device);

  private:
    QCheckBox* addBox(DeviceRef device, const QString& caption, int row);

    QCheckBox* processor_;
    QCheckBox* panel_;
    std::array<QCheckBox*, DeviceInventory::kSlots> slots_{};
    std::array<NodePodPictureLabel*, DeviceInventory::kSlots> pictures_{};
    std::array<QLabel*, DeviceInventory::kSlots> marks_{};
};

}  // namespace quorvel::forms
