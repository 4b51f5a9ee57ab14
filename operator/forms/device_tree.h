#pragma once
// The device frame: the processor, the panel and the 16 amplifier slots as check boxes, a NodePod
// picture beside each slot. It only shows what it is told and reports what the operator does.
#include <QFrame>
#include <array>

#include "operator/forms/nodepod_picture.h"
#include "operator/forms/status_mark.h"
#include "operator/shell/device_inventory.h"
#include "operator/shell/operator_ui.h"

class QCheckBox;
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
    // The mark beside a device: its state and why (hidden for an empty place or a hidden box).
    void setStatus(DeviceRef device, const DeviceStatus& status);
    StatusMark* mark(DeviceRef device) const;

  signals:
    // The operator clicked a box; `checked` is its new state.
    void boxClicked(quorvel::forms::DeviceRef device, bool checked);
    void nodePodClicked(int slot);
    void nodePodDoubleClicked(int slot);
    void informationRequested(quorvel::forms::DeviceRef device);

  private:
    QCheckBox* addBox(DeviceRef device, const QString& caption, int row);
    void addMark(DeviceRef device, int row);

    QCheckBox* processor_;
    QCheckBox* panel_;
    std::array<QCheckBox*, DeviceInventory::kSlots> slots_{};
    std::array<NodePodPictureLabel*, DeviceInventory::kSlots> pictures_{};
    // The processor's, the panel's, then the slots' marks.
    std::array<StatusMark*, DeviceInventory::kSlots + 2> marks_{};
};

}  // namespace quorvel::forms
