#include "operator/cli/rack_session.h"

#include <string>

#include "linkpad/linkpad.h"
#include "operator/cli/exit_codes.h"
#include "operator/cli/port_options.h"

namespace quorvel::cli {
namespace {

constexpr int kHighestNormalBaud = 38400;

// Why the port library could not open the port, as it told the traffic log.
std::string portError() {
    const int32_t length = QTX_GetLastError(nullptr, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    QTX_GetLastError(text.data(), static_cast<int32_t>(text.size()));
    text.resize(static_cast<size_t>(length));
    return text;
}

// The stored port settings with the command line's changes, in memory only.
bool choosePort(OperatorShell& shell, const CommonOptions& common, const SimulatedRack* rack,
                CliUi& ui) {
    PortSettings port = shell.state().Port;
    if (rack) {
        port.commPort = "Ethernet TCP/IP";
        port.ipAdr = QString::fromStdString(rack->address());
    }
    if (const auto problem = ApplyPortOverrides(common.port, port)) {
        ui.error(*problem);
        return false;
    }
    if (common.port.baud && *common.port.baud > kHighestNormalBaud) {
        ui.error(
            "baud rates above 38400 are not used by the rack's loaders; use 9600, 19200 "
            "or 38400");
        return false;
    }
    shell.state().Port = port;
    shell.ComputeConnectionParameters();
    return true;
}

}  // namespace

RackSession::RackSession(const CommonOptions& common, CliUi& ui) : common_(common), ui_(ui) {}

// The shutdown restores the rack's normal operation; its status is no news on a terminal, its
// messages still are.
RackSession::~RackSession() {
    if (!started_) return;
    ui_.setProgressShown(false);
    shell_->shutdown();
}

std::optional<int> RackSession::open() {
    try {
        if (common_.simulate) {
            const std::string file =
                common_.simulate->empty() ? DefaultRackFile() : *common_.simulate;
            rack_ = std::make_unique<SimulatedRack>(file);
            firmware_ = std::make_unique<SimulatedFirmware>(
                QString::fromStdString(common_.configDirectory));
            ui_.note("simulated rack " + file + " on " + rack_->address() + ", test firmware in " +
                     firmware_->downloadDirectory().toStdString());
        }
    } catch (const std::exception& e) {
        ui_.error(std::string("cannot start the simulated rack: ") + e.what());
        return kExitFailed;
    }
    ShellEnvironment environment;
    environment.programDirectory = QString::fromStdString(common_.configDirectory);
    if (firmware_) environment.tablesDirectory = firmware_->tablesDirectory();
    shell_ = std::make_unique<OperatorShell>(ui_, environment);
    if (!shell_->start(QString::fromStdString(common_.mode))) return kExitFailed;
    started_ = true;
    if (firmware_) shell_->state().DownloadDirectory = firmware_->downloadDirectory();
    // A download directory named on the command line wins over the stored and the simulated one.
    if (common_.downloadDirectory) {
        shell_->state().DownloadDirectory = QString::fromStdString(*common_.downloadDirectory);
    }
    if (!choosePort(*shell_, common_, rack_.get(), ui_)) return kExitFailed;
    return std::nullopt;
}

std::optional<int> RackSession::scan() {
    ui_.note("scanning over " + ui_.portSummary().toStdString());
    outcome_ = shell_->ScanSystem();
    if (outcome_ == ScanOutcome::Finished || outcome_ == ScanOutcome::ProcessorOnly) {
        return std::nullopt;
    }
    if (outcome_ != ScanOutcome::ConnectionFailed) return kExitFailed;
    const int result = shell_->lastConnectionResult();
    const PortSettings& port = shell_->state().Port;
    ui_.error(ConnectionAdvice(result, port, portError()));
    return IsNoAnswer(result, port) ? kExitNoRack : kExitFailed;
}

}  // namespace quorvel::cli
