// quorvel-cli: the operator program on the command line.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <QCoreApplication>

#include "operator/cli/exit_codes.h"
#include "operator/cli/scan_command.h"
#include "operator/shell/installation_paths.h"

namespace {

using namespace quorvel::cli;

void addCommonOptions(CLI::App& app, CommonOptions& common, bool& verbose, bool& quiet) {
    app.add_flag("-v,--verbose", verbose, "show every status and device as it is found");
    app.add_flag("-q,--quiet", quiet, "only errors on stderr");
    app.add_flag("-y,--yes", common.ui.assumeYes, "answer yes to every question");
    app.add_option("--port", common.port.port,
                   "port instead of the stored one: com1, com2, com1-rs485, com2-rs485, tcp, "
                   "usb, gpib, lpt1, lpt2");
    app.add_option("--baud", common.port.baud, "baud rate of serial ports (9600, 19200, 38400)");
    app.add_option("--address", common.port.address,
                   "rack address: HOST[:PORT] for tcp, serial number for usb, device address "
                   "for RS485 and GPIB");
    app.add_option("--config-dir", common.configDirectory,
                   "folder with ws.cfg, NodePod.cfg and kx.cfg (default: the program's folder "
                   "when they are there, else the installation's share/quorvel)")
        ->type_name("DIR");
    app.add_option("--simulate", common.simulate,
                   "run the simulated rack in this process (optionally from RACK_FILE) and "
                   "connect to it; stored settings stay as they are")
        ->expected(0, 1)
        ->type_name("RACK_FILE");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    CLI::App app{"quorvel-cli: scans Ventrix racks and shows their firmware.\n"
                 "Exit codes: 0 done, 1 failed, 2 nothing to do, 3 no rack or device found."};
    app.require_subcommand(1);
    CommonOptions common;
    common.configDirectory = quorvel::ConfigDirectory(quorvel::ProgramDirectory()).toStdString();
    bool verbose = false;
    bool quiet = false;
    addCommonOptions(app, common, verbose, quiet);

    ScanOptions scan;
    auto* scanCommand = app.add_subcommand("scan", "scan the rack and print its inventory");
    scanCommand->add_flag("--json", scan.json, "print the inventory as JSON");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? kExitDone : kExitFailed;
    }
    if (app.get_option("--simulate")->count() > 0 && !common.simulate) common.simulate = "";
    common.ui.verbosity = quiet ? Verbosity::Quiet : verbose ? Verbosity::Verbose : Verbosity::Normal;
    common.ui.interactive = isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
    common.ui.redrawProgress = isatty(STDERR_FILENO);
    if (scanCommand->parsed()) return RunScan(common, scan);
    return kExitFailed;
}
