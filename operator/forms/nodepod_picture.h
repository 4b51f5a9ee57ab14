#pragma once
// The NodePod picture beside an amplifier slot: normal or disabled image, click and double click.
#include <QLabel>

#include "operator/shell/operator_ui.h"

namespace quorvel::forms {

class NodePodPictureLabel : public QLabel {
    Q_OBJECT
  public:
    explicit NodePodPictureLabel(int slot, QWidget* parent = nullptr);
    void show(NodePodPicture picture);
    NodePodPicture picture() const { return picture_; }

  signals:
    void clicked(int slot);
    void doubleClicked(int slot);

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    int slot_;
    NodePodPicture picture_ = NodePodPicture::Hidden;
};

}  // namespace quorvel::forms
