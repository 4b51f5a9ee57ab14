#include "operator/forms/status_mark.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>

namespace quorvel::forms {
namespace {

QStyle::StandardPixmap iconOf(DeviceState state) {
    switch (state) {
        case DeviceState::Outdated:
            return QStyle::SP_ArrowUp;
        case DeviceState::Attention:
            return QStyle::SP_MessageBoxWarning;
        default:
            return QStyle::SP_DialogApplyButton;
    }
}

// Colours readable on the window's background, light or dark.
QColor colourOf(DeviceState state, bool dark) {
    switch (state) {
        case DeviceState::Outdated:
            return dark ? QColor(110, 170, 255) : QColor(20, 90, 190);
        case DeviceState::Attention:
            return dark ? QColor(255, 140, 90) : QColor(190, 40, 20);
        default:
            return dark ? QColor(120, 210, 130) : QColor(30, 120, 50);
    }
}

}  // namespace

QString StatusMarkText(const DeviceStatus& status) {
    switch (status.state) {
        case DeviceState::Current:
            return "up to date";
        case DeviceState::Outdated:
            return "update: " + status.newerFirmware;
        case DeviceState::Attention:
            return "needs attention";
        case DeviceState::Empty:
            break;
    }
    return {};
}

StatusMark::StatusMark(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    icon_ = new QLabel(this);
    text_ = new QLabel(this);
    row->addWidget(icon_);
    row->addWidget(text_);
    row->addStretch(1);
    setVisible(false);
}

void StatusMark::show(const DeviceStatus& status) {
    state_ = status.state;
    text_->setText(StatusMarkText(status));
    setToolTip(status.reason);
    setAccessibleName(text_->text());
    setAccessibleDescription(status.reason);
    paint();
    setVisible(status.state != DeviceState::Empty);
}

QString StatusMark::text() const { return isVisibleTo(parentWidget()) ? text_->text() : QString(); }

void StatusMark::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) paint();
    QWidget::changeEvent(event);
}

void StatusMark::paint() {
    const int size = fontMetrics().height();
    icon_->setPixmap(style()->standardIcon(iconOf(state_), nullptr, this).pixmap(size, size));
    const bool dark = palette().color(QPalette::Window).lightness() < 128;
    QPalette colours = text_->palette();
    colours.setColor(QPalette::WindowText, colourOf(state_, dark));
    text_->setPalette(colours);
}

}  // namespace quorvel::forms
