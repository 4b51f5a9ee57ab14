#include "operator/forms/run_view_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QVBoxLayout>

#include "operator/forms/message_box.h"
#include "operator/shell/operator_ui.h"

namespace quorvel::forms {
namespace {

// Lines of the summary shown without scrolling.
constexpr int kTextLines = 10;

const QStringList kColumns = {"Slot", "Module", "Before", "Target", "Now", "Phase", "Result"};

QStringList rowTexts(const SlotRun& run) {
    return {QString::number(run.slot + 1),
            run.module,
            run.before,
            run.target,
            run.after,
            run.phase,
            run.result};
}

QString stamp() { return QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss"); }

}  // namespace

RunViewDialog::RunViewDialog(RunSummary summary, std::function<Diagnostics()> diagnostics,
                             QWidget* parent, SaveChooser chooser)
    : QDialog(parent),
      summary_(std::move(summary)),
      diagnostics_(std::move(diagnostics)),
      chooser_(std::move(chooser)) {
    setObjectName("frmRunView");
    setWindowTitle(summary_.failed ? "Operation failed" : "Operation finished");
    auto* column = new QVBoxLayout(this);
    QString operation = summary_.operation;
    if (!operation.isEmpty()) operation[0] = operation[0].toUpper();
    auto* headline = new QLabel("<b>" + operation.toHtmlEscaped() +
                                (summary_.failed ? " failed.</b>" : " done.</b>"));
    column->addWidget(headline);
    text_ = new QPlainTextEdit(summary_.text());
    text_->setObjectName("txtRunSummary");
    text_->setReadOnly(true);
    text_->setAccessibleName("Summary");
    text_->setMinimumWidth(fontMetrics().averageCharWidth() * 80);
    text_->setMinimumHeight(fontMetrics().lineSpacing() * kTextLines);
    column->addWidget(text_, 2);
    if (!summary_.slotRuns.empty()) {
        table_ = new QTableWidget(static_cast<int>(summary_.slotRuns.size()),
                                  static_cast<int>(kColumns.size()));
        table_->setObjectName("tblSlots");
        table_->setAccessibleName("Slots");
        table_->setHorizontalHeaderLabels(kColumns);
        table_->verticalHeader()->hide();
        table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        for (int row = 0; row < table_->rowCount(); ++row) {
            const QStringList texts = rowTexts(summary_.slotRuns[static_cast<size_t>(row)]);
            for (int col = 0; col < texts.size(); ++col)
                table_->setItem(row, col, new QTableWidgetItem(texts[col]));
        }
        table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        table_->horizontalHeader()->setStretchLastSection(true);
        column->addWidget(table_, 1);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    auto* copy = buttons->addButton("&Copy", QDialogButtonBox::ActionRole);
    auto* report = buttons->addButton("Save &report...", QDialogButtonBox::ActionRole);
    auto* save = buttons->addButton("Save &diagnostics...", QDialogButtonBox::ActionRole);
    copy->setToolTip("Copy the text above");
    report->setToolTip("Write the text above into a file");
    save->setToolTip("Write versions, report, rack, settings and logs into one file for service");
    connect(copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(summary_.text()); });
    connect(report, &QPushButton::clicked, this, &RunViewDialog::saveReport);
    connect(save, &QPushButton::clicked, this, &RunViewDialog::saveDiagnostics);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    buttons->button(QDialogButtonBox::Close)->setDefault(true);
    column->addWidget(buttons);
}

QString RunViewDialog::choose(const QString& title, const QString& proposed) {
    const QString path = QDir::home().filePath(proposed);
    if (chooser_) return chooser_(this, title, path);
    return QFileDialog::getSaveFileName(this, title, path, "Text files (*.txt);;All files (*)");
}

void RunViewDialog::saved(bool ok, const QString& path, const QString& error) {
    if (ok) return;
    ShowMessageBox(this, "Could not write " + path + ":\r" + error, kIconExclamation,
                   windowTitle());
}

void RunViewDialog::saveReport() {
    const QString path = choose("Save report", "quorvel-report-" + stamp() + ".txt");
    if (path.isEmpty()) return;
    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly | QIODevice::Text) &&
                    file.write(summary_.text().toUtf8()) >= 0 && file.commit();
    saved(ok, path, file.errorString());
}

void RunViewDialog::saveDiagnostics() {
    const QString path = choose("Save diagnostics", "quorvel-diagnostics-" + stamp() + ".txt");
    if (path.isEmpty()) return;
    QString error;
    saved(SaveDiagnostics(path, diagnostics_(), &error), path, error);
}

}  // namespace quorvel::forms
