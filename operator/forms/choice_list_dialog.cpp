#include "operator/forms/choice_list_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "operator/drivers/firmware_catalogue.h"
#include "operator/forms/line_ends.h"

namespace quorvel::forms {
namespace {

constexpr double kFirstColumnShare = 0.33;
constexpr double kSecondColumnDivisor = 1.84;
constexpr int kChoiceListMinimumColumns = 70;
constexpr int kMinimumRows = 10;

}  // namespace

ChoiceListDialog::ChoiceListDialog(const ChoiceList& list, ChoiceListBehaviour behaviour,
                                   QWidget* parent)
    : QDialog(parent), choices_(list), behaviour_(std::move(behaviour)) {
    setObjectName("frmListVer");
    setWindowTitle(list.title);
    auto* column = new QVBoxLayout(this);
    list_ = new QTreeWidget;
    list_->setObjectName("ListViewVer");
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setHeaderLabels(list.columns);
    list_->header()->setStretchLastSection(list.columns.size() != 2);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setHeaderHidden(list.columns.isEmpty());
    list_->setAccessibleName(list.title);
    for (const QStringList& row : list.rows) list_->addTopLevelItem(new QTreeWidgetItem(row));
    const QFontMetrics metrics = list_->fontMetrics();
    list_->setMinimumSize(metrics.averageCharWidth() * kChoiceListMinimumColumns,
                          metrics.lineSpacing() * kMinimumRows);
    if (list.defaultRow >= 0 && list.defaultRow < list_->topLevelItemCount()) {
        list_->setCurrentItem(list_->topLevelItem(list.defaultRow));
    }
    if (list.messagesOnly) list_->setSelectionMode(QAbstractItemView::NoSelection);
    column->addWidget(list_, 1);
    note_ = new QLabel(NormalizedLineEnds(list.additionalInfo));
    note_->setWordWrap(true);
    note_->setVisible(!list.additionalInfo.isEmpty() && !behaviour_.rowInformation);
    column->addWidget(note_);

    auto* buttons = new QDialogButtonBox;
    if (behaviour_.rowInformation) {
        info_ = buttons->addButton(kInfoButtonCaption, QDialogButtonBox::ActionRole);
        info_->setObjectName("btnInfo");
        info_->setToolTip(kInfoButtonToolTip);
        connect(info_, &QPushButton::clicked, this, &ChoiceListDialog::showRowInformation);
    }
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setObjectName("OKButton");
    ok->setToolTip("Selection ok");
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName("CancelButton");
    cancel->setToolTip("Leave selection");
    connect(buttons, &QDialogButtonBox::accepted, this, &ChoiceListDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ChoiceListDialog::reject);
    column->addWidget(buttons);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &ChoiceListDialog::accept);
    connect(list_, &QTreeWidget::currentItemChanged, this, &ChoiceListDialog::updateInfoButton);
    updateInfoButton();
    list_->setFocus();
}

std::optional<int> ChoiceListDialog::choose() {
    if (choices_.autoConfirm) {
        if (choices_.messagesOnly || choices_.defaultRow < 0) return std::nullopt;
        return choices_.defaultRow;
    }
    exec();
    return chosen_;
}

int ChoiceListDialog::selectedRow() const {
    if (choices_.messagesOnly) return -1;
    const auto selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.front());
}

void ChoiceListDialog::accept() {
    if (choices_.messagesOnly) {
        chosen_.reset();
        QDialog::reject();
        return;
    }
    const int row = selectedRow();
    if (row < 0) {
        behaviour_.showMessage(kSelectTypeWarning, kIconExclamation);
        return;
    }
    chosen_ = row;
    QDialog::accept();
}

void ChoiceListDialog::reject() {
    const bool entries = !choices_.messagesOnly && !choices_.rows.empty();
    if (entries && behaviour_.confirmCancel &&
        behaviour_.showMessage(kCancelDownloadQuestion, kYesNo | kIconExclamation) != kAnswerYes) {
        return;
    }
    chosen_.reset();
    QDialog::reject();
}

void ChoiceListDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (list_->columnCount() != 2) return;
    const int width = list_->viewport()->width();
    list_->setColumnWidth(0, static_cast<int>(width * kFirstColumnShare));
    list_->setColumnWidth(1, static_cast<int>(width / kSecondColumnDivisor));
}

void ChoiceListDialog::updateInfoButton() {
    if (!info_) return;
    const int row = selectedRow();
    info_->setEnabled(row >= 0 && behaviour_.rowInformation(row).has_value());
}

void ChoiceListDialog::showRowInformation() {
    const int row = selectedRow();
    if (row < 0) return;
    if (const auto text = behaviour_.rowInformation(row)) behaviour_.showMessage(*text, kOkOnly);
}

}  // namespace quorvel::forms
