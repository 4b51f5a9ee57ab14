#include "operator/forms/information_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quorvel::forms {

InformationDialog::InformationDialog(const std::vector<InformationRow>& rows, QWidget* parent)
    : QDialog(parent) {
    setObjectName("frmListRightMouse");
    setWindowTitle(kInformationCaption);
    auto* column = new QVBoxLayout(this);
    list_ = new QTreeWidget;
    list_->setObjectName("ListChannelInfo");
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({kInformationSettingColumn, kInformationValueColumn});
    for (const InformationRow& row : rows) {
        list_->addTopLevelItem(new QTreeWidgetItem(QStringList{row.setting, row.value}));
    }
    list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    list_->setMinimumWidth(list_->fontMetrics().averageCharWidth() * 60);
    column->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

}  // namespace quorvel::forms
