#pragma once
// The mark beside a device of the tree: an icon, a word and a colour for its state (up to date,
// newer firmware available, needs attention), and a tool tip that says why. Icon and word tell
// the state apart without the colour, in a dark palette as in a light one.
#include <QWidget>

#include "operator/drivers/device_state.h"

class QLabel;

namespace quorvel::forms {

class StatusMark : public QWidget {
    Q_OBJECT
  public:
    explicit StatusMark(QWidget* parent = nullptr);

    // Hidden for an empty device.
    void show(const DeviceStatus& status);
    DeviceState state() const { return state_; }
    // "up to date", "update: P2.07", "needs attention"; empty while hidden.
    QString text() const;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void paint();

    QLabel* icon_;
    QLabel* text_;
    DeviceState state_ = DeviceState::Empty;
};

// The mark's word for a state: "update: <version>" for newer firmware.
QString StatusMarkText(const DeviceStatus& status);

}  // namespace quorvel::forms
