#include "operator/forms/function_dialog.h"

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace quorvel::forms {
namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kButtonGapTwips = 100;

}  // namespace

FunctionDialog::FunctionDialog(const QString& title, const QStringList& names, QWidget* parent)
    : QDialog(parent) {
    setObjectName("frmChoose");
    setWindowTitle(title);
    auto* column = new QVBoxLayout(this);
    frame_ = new QGroupBox("Please choose function:");
    frame_->setObjectName("Frame1");
    auto* buttons = new QVBoxLayout(frame_);
    buttons->setSpacing(pixels(kButtonGapTwips));
    const int count = static_cast<int>(std::min<qsizetype>(names.size(), kMaximumButtons));
    for (int index = 0; index < count; ++index) {
        QString caption = names[index];
        auto* button = new QPushButton(caption.replace('&', "&&"));
        button->setObjectName(QString("btnFkt%1").arg(index));
        button->setAccessibleName(names[index]);
        button->setToolTip(names[index]);
        button->setMinimumHeight(pixels(kButtonTwips - kButtonGapTwips));
        button->setAutoDefault(index == 0);
        connect(button, &QPushButton::clicked, this, [this, index] {
            chosen_ = index;
            accept();
        });
        buttons->addWidget(button);
        buttons_ << button;
    }
    frame_->setMinimumHeight(pixels(count * kButtonTwips + kFrameExtraTwips));
    column->addWidget(frame_);
    setMinimumWidth(fontMetrics().averageCharWidth() * 50);
    resize(minimumWidth(), pixels(count * kButtonTwips + kWindowExtraTwips));
    if (!buttons_.isEmpty()) buttons_.front()->setFocus();
}

int FunctionDialog::pixels(int twips) const { return twips * logicalDpiY() / kTwipsPerInch; }

std::optional<int> FunctionDialog::choose() {
    chosen_.reset();
    exec();
    return chosen_;
}

}  // namespace quorvel::forms
