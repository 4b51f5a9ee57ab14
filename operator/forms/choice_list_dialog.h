#pragma once
// A list to choose one row from: the firmware list (two columns, default row, "Add. Info",
// the cancel question) and the other lists the drivers ask from (amplifier types). A list of
// messages only closes with nothing chosen; a double click acts as OK.
#include <QDialog>
#include <functional>
#include <optional>

#include "operator/shell/operator_ui.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace quorvel::forms {

struct ChoiceListBehaviour {
    // Shows a message with its button-and-icon code through the program's logged message
    // service and returns the answer.
    std::function<int(const QString& prompt, int style)> showMessage;
    // The "Add. Info" text of a row; nullopt: the row has none (the button is disabled). Unset:
    // the list has no "Add. Info" button.
    std::function<std::optional<QString>(int row)> rowInformation;
    // Cancel asks "Cancel download, are you sure?" while the list holds entries.
    bool confirmCancel = false;
};

class ChoiceListDialog : public QDialog {
    Q_OBJECT
  public:
    ChoiceListDialog(const ChoiceList& list, ChoiceListBehaviour behaviour,
                     QWidget* parent = nullptr);

    // Shows the dialog modally (or takes the default row at once when the list auto-confirms).
    std::optional<int> choose();

    QTreeWidget* list() const { return list_; }
    QPushButton* infoButton() const { return info_; }

  public slots:
    void accept() override;
    void reject() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    int selectedRow() const;
    void updateInfoButton();
    void showRowInformation();

    ChoiceList choices_;
    ChoiceListBehaviour behaviour_;
    QTreeWidget* list_;
    QLabel* note_;
    QPushButton* info_ = nullptr;
    std::optional<int> chosen_;
};

}  // namespace quorvel::forms
