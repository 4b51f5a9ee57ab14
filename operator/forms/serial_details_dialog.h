#pragma once
// Serial line details: data bits, stop bits, parity and handshake, stored on OK.
#include <QDialog>

#include "operator/shell/settings_store.h"

class QButtonGroup;
class QComboBox;

namespace quorvel::forms {

class SerialDetailsDialog : public QDialog {
    Q_OBJECT
  public:
    SerialDetailsDialog(PortSettings& port, SettingsStore& store, QWidget* parent = nullptr);

  private:
    void storeAndClose();

    PortSettings& port_;
    SettingsStore& store_;
    QComboBox* bits_;
    QComboBox* stop_;
    QComboBox* parity_;
    QButtonGroup* flow_;
};

}  // namespace quorvel::forms
