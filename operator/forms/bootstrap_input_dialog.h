#pragma once
// The input window before a panel bootstrap: serial number (up to 12 characters) and hardware
// revision (up to 4). OK keeps both; Cancel asks first and, confirmed, keeps nothing.
#include <QDialog>
#include <functional>
#include <optional>
#include <utility>

class QLineEdit;

namespace quorvel::forms {

class BootstrapInputDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kSerialNumberLength = 12;
    static constexpr int kHardwareRevisionLength = 4;

    // `confirmCancel` asks whether the bootstrap is to be stopped; true closes the window.
    explicit BootstrapInputDialog(std::function<bool()> confirmCancel, QWidget* parent = nullptr);

    // Shows the window: serial number and hardware revision, nullopt when cancelled.
    std::optional<std::pair<QString, QString>> ask();

    QLineEdit* serialNumber() const { return serial_; }
    QLineEdit* hardwareRevision() const { return revision_; }

    void reject() override;

  private:
    std::function<bool()> confirmCancel_;
    QLineEdit* serial_ = nullptr;
    QLineEdit* revision_ = nullptr;
};

}  // namespace quorvel::forms
