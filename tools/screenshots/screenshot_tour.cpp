// quorvel-screenshot-tour DIR: runs the window program against its simulated rack (as
// `quorvel --simulate` does), walks through a scan, the port dialog, the firmware list, an
// amplifier download (and a long pause of the module in it) and the NodePod window, and writes
// what the screen shows as PNG files into DIR.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "operator/cli/simulated_rack.h"
#include "operator/forms/nodepod_dialog.h"
#include "operator/forms/port_dialog.h"
#include "operator/forms/runtime_directory.h"
#include "operator/forms/window_program.h"
#include "tools/fwgen/amplifier_set.h"
#include "tools/fwgen/nodepod_set.h"

namespace {

using namespace quorvel;
using namespace quorvel::forms;

constexpr int kDownloadSlot = 0;
constexpr int kRa56Slot = 8;  // the default rack's RA56 with its NodePod heads
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
        } else if (auto* nodePod = qobject_cast<NodePodDialog*>(dialog)) {
            photographNodePod(nodePod);
        } else if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            save(*dialog, QString("message-%1").arg(++messages_));
            box->buttons().front()->click();
        } else {
            dialog->reject();
        }
    }
    // Once the scan is over: the heads found, then all ticked; leaving resets the rack.
    void photographNodePod(NodePodDialog* dialog) {
        if (dialog->model().busy() || !dialog->model().scanned()) {
            QPointer<QDialog> pointer(dialog);
            QTimer::singleShot(200, this, [this, pointer] { answer(pointer); });
            return;
        }
        save(*dialog, "nodepod-window");
        dialog->selectAllButton()->click();
        save(*dialog, "nodepod-window-ticked");
        dialog->reject();
    }
    int messages_ = 0;
};

}  // namespace

// Fusion with a dark palette, as a desktop in a dark theme gives it.
void useDarkPalette() {
    QApplication::setStyle("Fusion");
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 32));
    dark.setColor(QPalette::AlternateBase, QColor(50, 50, 54));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(55, 55, 60));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
    dark.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
    QApplication::setPalette(dark);
}

int main(int argc, char** argv) {
    ProvideRuntimeDirectory();
    QApplication application(argc, argv);
    const bool dark = argc == 3 && QString(argv[2]) == "--dark";
    if (argc != 2 && !dark) {
        std::fputs("usage: quorvel-screenshot-tour DIR [--dark]\n", stderr);
        return 2;
    }
    if (dark) useDarkPalette();
    outputDirectory = argv[1];
    QDir().mkpath(outputDirectory);
    QTemporaryDir home;
    const QString firmware = home.filePath("firmware");
    QDir().mkpath(firmware);
    fwgen::writeAmplifierSet(firmware.toStdString());
    cli::SimulatedRack rack(cli::DefaultRackFile());

    WindowProgramOptions options;
    // The program's tables, with the NodePod type of the simulated heads.
    const QDir installed(QCoreApplication::applicationDirPath());
    for (const char* table : {"ws.cfg", "kx.cfg"})
        QFile::copy(installed.filePath(table), home.filePath(table));
    fwgen::NodePodSet nodePods;
    fwgen::writeNodePodConfig(home.path().toStdString(), {nodePods.type});
    fwgen::writeNodePodSet(firmware.toStdString(), nodePods);
    options.environment.programDirectory = home.path();
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
    bool waitPhotographed = false;
    QTimer progressCamera;
    QObject::connect(&progressCamera, &QTimer::timeout, [&] {
        if (!photographed && window.isLocked() && window.progress() >= 20) {
            save(window, "download-in-progress");
            photographed = true;
        }
        // A long pause of the module (its reset), a few seconds before its end.
        if (!waitPhotographed && window.waitNotice().endsWith("up to 6 s")) {
            save(window, "download-waiting-for-module");
            waitPhotographed = true;
        }
    });
    progressCamera.start(50);
    program.selection().setSlotTicked(kDownloadSlot, true);
    program.refreshDeviceTree();
    window.entry("mnuTransferDown")->trigger();
    save(window, "main-window-after-download");

    program.selection().clear();
    program.selection().setSlotTicked(kRa56Slot, true);
    program.refreshDeviceTree();
    window.entry("mnuTransferNodePodDown")->trigger();
    window.close();
    return photographed && waitPhotographed ? 0 : 3;
}
