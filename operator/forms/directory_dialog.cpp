#include "operator/forms/directory_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "operator/forms/message_box.h"
#include "operator/shell/operator_ui.h"

namespace quorvel::forms {

QString WithFinalSlash(const QString& path) { return path.endsWith('/') ? path : path + "/"; }

DirectoryDialog::DirectoryDialog(const QString& downloadDirectory, const QString& defaultDirectory,
                                 QWidget* parent, Chooser chooser)
    : QDialog(parent),
      pending_(downloadDirectory),
      default_(defaultDirectory),
      chooser_(std::move(chooser)) {
    setObjectName("frmShowDir");
    setWindowTitle("Directory for firmware files");
    if (!chooser_) {
        chooser_ = [](QWidget* owner, const QString& start) {
            return QFileDialog::getExistingDirectory(owner, "Directory for firmware files", start);
        };
    }
    auto* column = new QVBoxLayout(this);
    auto* label = new QLabel("&Firmware files are taken from:");
    column->addWidget(label);
    auto* row = new QHBoxLayout;
    text_ = new QLineEdit(pending_);
    text_->setObjectName("txtDir");
    text_->setReadOnly(true);
    text_->setMinimumWidth(text_->fontMetrics().averageCharWidth() * 50);
    label->setBuddy(text_);
    row->addWidget(text_, 1);
    auto* changeButton = new QPushButton("&Change...");
    changeButton->setObjectName("ChangeButton");
    row->addWidget(changeButton);
    column->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("OKButton");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("CancelButton");
    connect(changeButton, &QPushButton::clicked, this, &DirectoryDialog::change);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

void DirectoryDialog::change() {
    const QString chosen = chooser_(this, pending_);
    if (chosen.isEmpty()) return;
    const QFileInfo directory(chosen);
    if (directory.isDir() && directory.isReadable()) {
        pending_ = WithFinalSlash(chosen);
    } else {
        ShowMessageBox(this, "Drive not available. Changed to default directory!", kOkOnly,
                       windowTitle());
        pending_ = default_;
    }
    text_->setText(pending_);
}

}  // namespace quorvel::forms
