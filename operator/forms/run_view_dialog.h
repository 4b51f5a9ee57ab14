#pragma once
// The outcome of an operation the operator should look at: a failure with its cause, the state
// the device is left in and the next step, and the run over several amplifier slots as a table.
// The text can be copied; the report and the diagnostics can be saved to files.
#include <QDialog>
#include <functional>

#include "operator/forms/diagnostics.h"
#include "operator/forms/run_summary.h"

class QPlainTextEdit;
class QTableWidget;

namespace quorvel::forms {

class RunViewDialog : public QDialog {
    Q_OBJECT
  public:
    // Asks for a file to write (title, proposed name); empty when the operator cancelled.
    using SaveChooser =
        std::function<QString(QWidget* parent, const QString& title, const QString& proposed)>;

    RunViewDialog(RunSummary summary, std::function<Diagnostics()> diagnostics,
                  QWidget* parent = nullptr, SaveChooser chooser = {});

    QPlainTextEdit* text() const { return text_; }
    QTableWidget* table() const { return table_; }
    // Writes the report or the diagnostics to the chosen file; a failure is shown.
    void saveReport();
    void saveDiagnostics();

  private:
    QString choose(const QString& title, const QString& proposed);
    void saved(bool ok, const QString& path, const QString& error);

    RunSummary summary_;
    std::function<Diagnostics()> diagnostics_;
    SaveChooser chooser_;
    QPlainTextEdit* text_ = nullptr;
    QTableWidget* table_ = nullptr;
};

}  // namespace quorvel::forms
