// Quorvel: the window program of the firmware loader.
#include <QApplication>
#include <QDir>
#include <QSettings>
#include <cstdio>
#include <memory>
#include <optional>

#include "linkpad/com_ports.h"
#include "operator/cli/simulated_firmware.h"
#include "operator/cli/simulated_rack.h"
#include "operator/forms/command_line.h"
#include "operator/forms/message_box.h"
#include "operator/forms/runtime_directory.h"
#include "operator/forms/simulation_sandbox.h"
#include "operator/forms/window_program.h"
#include "operator/shell/installation_paths.h"

namespace {

using namespace quorvel;
using namespace quorvel::forms;

QString userSettingsFile() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "Quorvel", "Quorvel").fileName();
}

// The simulated rack and the test firmware for it.
struct Simulation {
    std::unique_ptr<cli::SimulatedRack> rack;
    std::unique_ptr<cli::SimulatedFirmware> firmware;
};

std::optional<Simulation> startSimulation(const QString& rackFile) {
    const std::string file = rackFile.isEmpty() ? cli::DefaultRackFile() : rackFile.toStdString();
    try {
        Simulation simulation{std::make_unique<cli::SimulatedRack>(file), nullptr};
        simulation.firmware = std::make_unique<cli::SimulatedFirmware>(
            ConfigDirectory(QCoreApplication::applicationDirPath()));
        return simulation;
    } catch (const std::exception& e) {
        ShowMessageBox(nullptr,
                       QString("The simulated rack could not be started from\r%1:\r%2")
                           .arg(QString::fromStdString(file), e.what()),
                       kIconStop, "Quorvel");
        return std::nullopt;
    }
}

}  // namespace

int main(int argc, char** argv) {
    // The command line is read before any window exists, so --help works without a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = ParseCommandLine(arguments);
    if (line.help || !line.error.isEmpty()) {
        if (!line.error.isEmpty()) std::fprintf(stderr, "quorvel: %s\n", qPrintable(line.error));
        std::fputs(kUsage, line.help ? stdout : stderr);
        return line.help ? 0 : 2;
    }
    ProvideRuntimeDirectory();
    QApplication application(argc, argv);
    application.setApplicationName("Quorvel");
    application.setDesktopFileName("quorvel");

    WindowProgramOptions options;
    options.startMode = line.startMode;
    options.dark = line.dark;
    options.environment.programDirectory = QCoreApplication::applicationDirPath();
    std::unique_ptr<SimulationSandbox> sandbox;
    std::optional<Simulation> simulation;
    if (line.simulate) {
        simulation = startSimulation(*line.simulate);
        if (!simulation) return 1;
        sandbox = std::make_unique<SimulationSandbox>(
            userSettingsFile(), QString::fromStdString(linkpad::comMappingFile().string()));
        options.environment.settingsFile = sandbox->settingsFile();
        options.environment.instanceLockDirectory = sandbox->instanceLockDirectory();
        options.comMappingFile = sandbox->comMappingFile();
        options.simulatedRackAddress = QString::fromStdString(simulation->rack->address());
        options.environment.tablesDirectory = simulation->firmware->tablesDirectory();
        options.downloadDirectory = simulation->firmware->downloadDirectory();
    }

    WindowProgram program(options);
    if (!program.start()) return 0;
    program.window().show();
    return application.exec();
}
