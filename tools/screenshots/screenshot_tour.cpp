// quorvel-screenshot-tour DIR: runs the window program against its simulated rack (as
// `quorvel --simulate` does), walks through a scan, the port dialog, the firmware list and an
// amplifier download, and writes what the screen shows as PNG files into DIR.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "operator/cli/simulated_rack.h"
#include "operator/forms/port_dialog.h"
#include "operator/forms/window_program.h"
#include "tools/fwgen/amplifier_set.h"

namespace {

using namespace quorvel;
using namespace quorvel::forms;

constexpr int kDownloadSlot = 0;
QString outputDirectory;

void save(QWidget& widget, const QString& name) {
    QApplication::processEvents();
    const QString file = QDir(outputDirectory).filePath(name + ".png");
    if (!widget.grab().save(file)) std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
}

// Photographs each dialog as it opens, then answers it: lists with their default row, message
// boxes with their first button.
class DialogPhotographer : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (event->type() == QEvent::Show && dialog && dialog->isModal()) {
            QPointer<QDialog> pointer(dialog);
            QTimer::singleShot(200, this, [this, pointer] { answer(pointer); });
        }
        return false;
    }

  private:
    void answer(QDialog* dialog) {
        if (!dialog) return;
        if (dialog->objectName() == "frmListVer") {
            save(*dialog, "firmware-list");
            dialog->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            save(*dialog, QString("message-%1").arg(++messages_));
            box->buttons().front()->click();
        } else {
            dialog->reject();
        }
    }
    int messages_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: quorvel-screenshot-tour DIR\n", stderr);
        return 2;
    }
    outputDirectory = argv[1];
    QDir().mkpath(outputDirectory);
    QTemporaryDir home;
    const QString firmware = home.filePath("firmware");
    QDir().mkpath(firmware);
    fwgen::writeAmplifierSet(firmware.toStdString());
    cli::SimulatedRack rack(cli::DefaultRackFile());

    WindowProgramOptions options;
    options.environment.programDirectory = QCoreApplication::applicationDirPath();
    options.environment.settingsFile = home.filePath("Quorvel.ini");
    options.environment.instanceLockDirectory = home.path();
    options.comMappingFile = home.filePath("ports.conf");
    options.simulatedRackAddress = QString::fromStdString(rack.address());
    WindowProgram program(options);
    if (!program.start()) return 1;
    program.shell().state().DownloadDirectory = firmware + "/";
    MainWindow& window = program.window();
    window.resize(560, 720);
    window.show();
    save(window, "main-window-start");

    window.entry("mnuOptionsScan")->trigger();
    save(window, "main-window-scanned");

    PortDialog port(program.shell().state().Port, program.shell().settings(),
                    program.shell().state().StartMode, options.comMappingFile, &window);
    port.show();
    save(port, "port-dialog");
    port.close();

    DialogPhotographer photographer;
    application.installEventFilter(&photographer);
    bool photographed = false;
    QTimer progressCamera;
    QObject::connect(&progressCamera, &QTimer::timeout, [&] {
        if (!photographed && window.isLocked() && window.progress() >= 20) {
            save(window, "download-in-progress");
            photographed = true;
        }
    });
    progressCamera.start(50);
    program.selection().setSlotTicked(kDownloadSlot, true);
    program.refreshDeviceTree();
    window.entry("mnuTransferDown")->trigger();
    save(window, "main-window-after-download");
    window.close();
    return photographed ? 0 : 3;
}
