// quorvel-screenshot-tour DIR: runs the window program against its simulated rack (as
// `quorvel --simulate` does, with a module up to date and one of a type the tables do not know
// added), walks through a scan, the port dialog, the firmware list, an amplifier download (and a
// long pause of the module in it), a processor download and the NodePod window, and writes what
// the screen shows as PNG files into DIR.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "operator/cli/simulated_firmware.h"
#include "operator/cli/simulated_rack.h"
#include "operator/forms/function_dialog.h"
#include "operator/forms/nodepod_dialog.h"
#include "operator/forms/port_dialog.h"
#include "operator/forms/runtime_directory.h"
#include "operator/forms/window_program.h"
#include "operator/shell/installation_paths.h"

namespace {

using namespace quorvel;
using namespace quorvel::forms;

constexpr const char* kUsage =
    "Usage: quorvel-screenshot-tour DIR [--dark]\n"
    "Runs the window program against its simulated rack and writes what the screen shows as\n"
    "PNG files into DIR (created when missing). --dark: in a dark palette.\n";
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
        } else if (auto* functions = qobject_cast<FunctionDialog*>(dialog)) {
            save(*dialog, "function-window");
            functions->buttons().front()->click();
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

// The shipped rack with two more modules, so that one picture shows every state of the marks:
// slot 3 runs the newest firmware, slot 7 is of a type the hardware tables do not know.
QString tourRack(const QString& directory) {
    QFile shipped(QString::fromStdString(cli::DefaultRackFile()));
    if (!shipped.open(QIODevice::ReadOnly)) return QString::fromStdString(cli::DefaultRackFile());
    QJsonObject rack = QJsonDocument::fromJson(shipped.readAll()).object();
    QJsonArray modules = rack["slots"].toArray();
    modules.append(QJsonObject{{"slot", 2}, {"kind", "RA51"}, {"firmwareType", 2},
                             {"moduleCode", 16}, {"amtNumber", 12}, {"subChannels", 4},
                             {"version", "P2.07"}});
    modules.append(QJsonObject{{"slot", 6}, {"kind", "RA51"}, {"firmwareType", 2},
                             {"moduleCode", 16}, {"amtNumber", 12}, {"subChannels", 4},
                             {"version", "P1.00"}, {"identity", "QTX-RA99,RA99-WS099,0,P1.00"}});
    rack["slots"] = modules;
    const QString file = QDir(directory).filePath("tour-rack.json");
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(QJsonDocument(rack).toJson()) < 0)
        return QString::fromStdString(cli::DefaultRackFile());
    return file;
}

}  // namespace

int main(int argc, char** argv) {
    const bool help = argc == 2 && (QString(argv[1]) == "--help" || QString(argv[1]) == "-h");
    const bool dark = argc == 3 && QString(argv[2]) == "--dark";
    if (help || (argc != 2 && !dark) || (argc > 1 && QString(argv[1]).startsWith('-'))) {
        std::fputs(kUsage, help ? stdout : stderr);
        return help ? 0 : 2;
    }
    ProvideRuntimeDirectory();
    QApplication application(argc, argv);
    outputDirectory = argv[1];
    QDir().mkpath(outputDirectory);
    QTemporaryDir home;
    cli::SimulatedFirmware firmware(ConfigDirectory(QCoreApplication::applicationDirPath()));
    cli::SimulatedRack rack(tourRack(home.path()).toStdString());

    WindowProgramOptions options;
    options.environment.programDirectory = QCoreApplication::applicationDirPath();
    options.environment.tablesDirectory = firmware.tablesDirectory();
    options.environment.settingsFile = home.filePath("Quorvel.ini");
    options.environment.instanceLockDirectory = home.path();
    options.comMappingFile = home.filePath("ports.conf");
    options.simulatedRackAddress = QString::fromStdString(rack.address());
    options.downloadDirectory = firmware.downloadDirectory();
    options.dark = dark;
    WindowProgram program(options);
    if (!program.start()) return 1;
    MainWindow& window = program.window();
    window.resize(560, 720);
    window.show();
    FitIntoScreen(window, window.screen());
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
    bool processorPhotographed = false;
    QTimer progressCamera;
    QObject::connect(&progressCamera, &QTimer::timeout, [&] {
        if (!photographed && window.isLocked() && window.progress() >= 20) {
            save(window, "download-in-progress");
            photographed = true;
        }
        if (!processorPhotographed && window.isLocked() &&
            window.runPositionText().contains("transfer files") && window.progress() >= 30) {
            save(window, "processor-download-in-progress");
            processorPhotographed = true;
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
    // The rescan shows the module up to date beside those with newer firmware and the one that
    // needs attention.
    window.entry("mnuOptionsScan")->trigger();
    save(window, "main-window-after-download");

    program.selection().clear();
    program.selection().setProcessorTicked(true);
    program.refreshDeviceTree();
    window.entry("mnuTransferDown")->trigger();

    program.selection().clear();
    program.selection().setSlotTicked(kRa56Slot, true);
    program.refreshDeviceTree();
    window.entry("mnuTransferNodePodDown")->trigger();
    window.close();
    return photographed && waitPhotographed && processorPhotographed ? 0 : 3;
}
