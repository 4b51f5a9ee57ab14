#include "operator/cli/cli_session.h"

#include "linkpad/hooks.h"
#include "operator/cli/exit_codes.h"

namespace quorvel::cli {
namespace {

constexpr int kHighestNormalBaud = 38400;

}  // namespace

CliSession::CliSession(const CommonOptions& common) : common_(common), ui_(common.ui) {}

CliSession::~CliSession() { finish(); }

bool CliSession::start() {
    try {
        if (common_.simulate) {
            const std::string file =
                common_.simulate->empty() ? DefaultRackFile() : *common_.simulate;
            rack_ = std::make_unique<SimulatedRack>(file);
            ui_.note("simulated rack " + file + " on " + rack_->address());
        }
    } catch (const std::exception& e) {
        ui_.error(std::string("cannot start the simulated rack: ") + e.what());
        return false;
    }
    ShellEnvironment environment;
    environment.programDirectory = QString::fromStdString(common_.configDirectory);
    shell_ = std::make_unique<OperatorShell>(ui_, environment);
    if (!shell_->start(QString::fromStdString(common_.mode))) {
        shell_.reset();
        return false;
    }
    return choosePort();
}

// The stored port settings with the command line's changes, in memory only.
bool CliSession::choosePort() {
    PortSettings port = shell_->state().Port;
    if (rack_) {
        port.commPort = "Ethernet TCP/IP";
        port.ipAdr = QString::fromStdString(rack_->address());
    }
    if (const auto problem = ApplyPortOverrides(common_.port, port)) {
        ui_.error(*problem);
        return false;
    }
    if (common_.port.baud && *common_.port.baud > kHighestNormalBaud) {
        ui_.error(
            "baud rates above 38400 are not used by the rack's loaders; use 9600, 19200 "
            "or 38400");
        return false;
    }
    shell_->state().Port = port;
    shell_->ComputeConnectionParameters();
    return true;
}

std::optional<int> CliSession::scan() {
    ui_.note("scanning over " + ui_.portSummary().toStdString());
    const ScanOutcome outcome = shell_->ScanSystem();
    if (outcome == ScanOutcome::ConnectionFailed) {
        const int result = shell_->lastConnectionResult();
        const PortSettings& port = shell_->state().Port;
        ui_.error(ConnectionAdvice(result, port, linkpad::lastError()));
        return IsNoAnswer(result, port) ? kExitNoRack : kExitFailed;
    }
    if (outcome != ScanOutcome::Finished && outcome != ScanOutcome::ProcessorOnly) {
        return kExitFailed;
    }
    scanned_ = true;
    if (shell_->state().Inventory.processor.Identity == "not detected") {
        ui_.error("no communication processor answered its identification; check the rack.");
        return kExitNoRack;
    }
    return std::nullopt;
}

void CliSession::finish() {
    if (finished_ || !shell_) return;
    finished_ = true;
    shell_->shutdown();
}

}  // namespace quorvel::cli
