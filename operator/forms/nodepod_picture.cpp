#include "operator/forms/nodepod_picture.h"

#include <QIcon>
#include <QMouseEvent>

namespace quorvel::forms {
namespace {

constexpr int kPictureSize = 20;

}  // namespace

NodePodPictureLabel::NodePodPictureLabel(int slot, QWidget* parent) : QLabel(parent), slot_(slot) {
    setToolTip("NODEPOD Firmware Download possible");
    setAccessibleName(QString("NodePod behind slot %1").arg(slot + 1));
    setFixedSize(kPictureSize, kPictureSize);
    setVisible(false);
}

void NodePodPictureLabel::show(NodePodPicture picture) {
    picture_ = picture;
    if (picture == NodePodPicture::Hidden) {
        setVisible(false);
        return;
    }
    const QIcon icon(":/icons/nodepod.svg");
    setPixmap(icon.pixmap(QSize(kPictureSize, kPictureSize), devicePixelRatio(),
                          picture == NodePodPicture::Normal ? QIcon::Normal : QIcon::Disabled));
    setVisible(true);
}

void NodePodPictureLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit clicked(slot_);
    QLabel::mouseReleaseEvent(event);
}

void NodePodPictureLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked(slot_);
    QLabel::mouseDoubleClickEvent(event);
}

}  // namespace quorvel::forms
