#pragma once
// The window program on the offscreen platform, started in a temporary installation and
// connected to an in-process simulated rack on the virtual clock.
#include <QCheckBox>
#include <QLabel>
#include <QStringList>
#include <memory>

#include "dialog_answerer.h"
#include "operator/forms/window_program.h"
#include "shell_fixture.h"
#include "sim_rack.h"

namespace forms_tests {

using quorvel::DeviceBox;
using quorvel::forms::DeviceRef;

// The rack the program ships as its default, read from the source tree.
nlohmann::json DefaultRack();

class WindowTest : public testing_support::SimRackTest, public operator_tests::ShellSandbox {
  protected:
    WindowTest();
    ~WindowTest() override;

    // Starts the program (shown) and scans `rack` through the menu.
    void startAndScan(const nlohmann::json& rack = DefaultRack(), const QString& startMode = {});
    void startProgram(const QString& startMode = {});

    quorvel::forms::MainWindow& window() { return program->window(); }
    quorvel::ProgramState& state() { return program->shell().state(); }
    void trigger(const QString& entry);
    void triggerButton(const QString& key);
    // A mouse click on a device's box, as the operator does it.
    void click(DeviceRef device);
    QCheckBox* box(DeviceRef device) { return window().deviceTree()->checkBox(device); }
    bool entryEnabled(const QString& entry);
    bool buttonEnabled(const QString& key);
    // The protocol's entry texts so far, written and pending.
    QStringList protocol();
    // A "firmware" folder in the test's directory, made the download directory; returns its path.
    QString firmwareFolder();

    DialogAnswerer answerer;
    std::unique_ptr<quorvel::forms::WindowProgram> program;
};

// The texts a label shows each time it is painted.
class PaintedTexts : public QObject {
  public:
    explicit PaintedTexts(QLabel& label) : label_(label) { label.installEventFilter(this); }
    QStringList texts;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLabel& label_;
};

inline DeviceRef Slot(int slot) { return {DeviceBox::Slot, slot}; }
inline const DeviceRef kProcessor{DeviceBox::Processor, 0};
inline const DeviceRef kPanel{DeviceBox::Panel, 0};

}  // namespace forms_tests
