#include "operator/forms/information_dialog.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QScreen>
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
    fitRows(static_cast<int>(rows.size()));
    column->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

// Tall enough for every row (a few rows' worth at least), within the screen's available height.
void InformationDialog::fitRows(int rowCount) {
    constexpr int kFewestRows = 4;
    const int rowHeight = list_->sizeHintForRow(0) > 0 ? list_->sizeHintForRow(0)
                                                       : list_->fontMetrics().lineSpacing();
    const int wanted = list_->header()->sizeHint().height() + 2 * list_->frameWidth() +
                       std::max(rowCount, kFewestRows) * rowHeight;
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const int limit = screen ? screen->availableGeometry().height() * 3 / 4 : wanted;
    list_->setMinimumHeight(std::min(wanted, limit));
}

}  // namespace quorvel::forms
