#include "operator/forms/device_tree.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

namespace quorvel::forms {
namespace {

constexpr int kBoxColumn = 0;
constexpr int kPictureColumn = 1;
constexpr int kMarkColumn = 2;
constexpr int kSpaceColumn = 3;
constexpr int kFirstSlotRow = 2;

size_t markIndex(DeviceRef device) {
    switch (device.box) {
        case DeviceBox::Processor:
            return 0;
        case DeviceBox::Panel:
            return 1;
        case DeviceBox::Slot:
            break;
    }
    return static_cast<size_t>(device.slot) + 2;
}

}  // namespace

DeviceTree::DeviceTree(QWidget* parent) : QFrame(parent) {
    setObjectName("frmMainFrame");
    setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(kSpaceColumn, 1);
    grid->setVerticalSpacing(2);
    processor_ = addBox({DeviceBox::Processor, 0}, "KX", 0);
    processor_->setObjectName("chkKX");
    panel_ = addBox({DeviceBox::Panel, 0}, "DV", 1);
    panel_->setObjectName("chkDV");
    addMark({DeviceBox::Processor, 0}, 0);
    addMark({DeviceBox::Panel, 0}, 1);
    for (int slot = 0; slot < DeviceInventory::kSlots; ++slot) {
        QCheckBox* box = addBox({DeviceBox::Slot, slot}, QString("%1 - RA :").arg(slot + 1),
                                kFirstSlotRow + slot);
        box->setObjectName(QString("chkRA%1").arg(slot));
        box->setToolTip(QString("Selection for channel %1").arg(slot + 1));
        slots_[slot] = box;
        auto* picture = new NodePodPictureLabel(slot, this);
        picture->setObjectName(QString("picNodePod%1").arg(slot));
        grid->addWidget(picture, kFirstSlotRow + slot, kPictureColumn);
        connect(picture, &NodePodPictureLabel::clicked, this, &DeviceTree::nodePodClicked);
        connect(picture, &NodePodPictureLabel::doubleClicked, this,
                &DeviceTree::nodePodDoubleClicked);
        pictures_[slot] = picture;
        addMark({DeviceBox::Slot, slot}, kFirstSlotRow + slot);
    }
    grid->setRowStretch(kFirstSlotRow + DeviceInventory::kSlots, 1);
}

QCheckBox* DeviceTree::addBox(DeviceRef device, const QString& caption, int row) {
    auto* box = new QCheckBox(caption, this);
    box->setAccessibleName(caption);
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QCheckBox::clicked, this,
            [this, device](bool checked) { emit boxClicked(device, checked); });
    connect(box, &QWidget::customContextMenuRequested, this,
            [this, device] { emit informationRequested(device); });
    auto* grid = static_cast<QGridLayout*>(layout());
    grid->addWidget(box, row, kBoxColumn);
    return box;
}

void DeviceTree::addMark(DeviceRef device, int row) {
    auto* mark = new StatusMark(this);
    mark->setObjectName(QString("lblState%1").arg(markIndex(device)));
    static_cast<QGridLayout*>(layout())->addWidget(mark, row, kMarkColumn);
    marks_[markIndex(device)] = mark;
}

QCheckBox* DeviceTree::checkBox(DeviceRef device) const {
    switch (device.box) {
        case DeviceBox::Processor:
            return processor_;
        case DeviceBox::Panel:
            return panel_;
        case DeviceBox::Slot:
            break;
    }
    return slots_[static_cast<size_t>(device.slot)];
}

void DeviceTree::setBox(DeviceRef device, const DeviceBoxState& state) {
    QCheckBox* box = checkBox(device);
    box->setText(state.caption);
    box->setAccessibleName(state.caption);
    box->setVisible(state.visible);
    box->setEnabled(state.enabled);
}

void DeviceTree::setChecked(DeviceRef device, bool checked) {
    checkBox(device)->setChecked(checked);
}

bool DeviceTree::isChecked(DeviceRef device) const { return checkBox(device)->isChecked(); }

void DeviceTree::setBoxEnabled(DeviceRef device, bool enabled) {
    checkBox(device)->setEnabled(enabled);
}

void DeviceTree::setNodePodPicture(int slot, NodePodPicture picture) {
    pictures_[static_cast<size_t>(slot)]->show(picture);
}

void DeviceTree::setStatus(DeviceRef device, const DeviceStatus& status) {
    const bool shown = checkBox(device)->isVisibleTo(this);
    mark(device)->show(shown ? status : DeviceStatus{});
}

StatusMark* DeviceTree::mark(DeviceRef device) const { return marks_[markIndex(device)]; }

}  // namespace quorvel::forms
