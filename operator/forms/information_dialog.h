#pragma once
// "Additional Information": what the scan knows about one device, as setting/value rows.
#include <QDialog>
#include <vector>

#include "operator/drivers/device_information.h"

class QTreeWidget;

namespace quorvel::forms {

class InformationDialog : public QDialog {
    Q_OBJECT
  public:
    InformationDialog(const std::vector<InformationRow>& rows, QWidget* parent = nullptr);
    QTreeWidget* list() const { return list_; }

  private:
    void fitRows(int rowCount);

    QTreeWidget* list_;
};

}  // namespace quorvel::forms
