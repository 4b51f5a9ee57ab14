#include "operator/cli/command_line.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <functional>

#include "operator/cli/device_commands.h"
#include "operator/cli/driver_commands.h"
#include "operator/cli/exit_codes.h"
#include "operator/cli/firmware_command.h"
#include "operator/cli/scan_command.h"
#include "operator/shell/installation_paths.h"
#include "operator/shell/program_version.h"

namespace {

using namespace quorvel::cli;

void addCommonOptions(CLI::App& app, CommonOptions& common, bool& verbose, bool& quiet) {
    app.add_flag("-v,--verbose", verbose, "show every status and device as it is found");
    app.add_flag("-q,--quiet", quiet, "only errors on stderr");
    app.add_flag("-y,--yes", common.ui.assumeYes, "answer yes to every question");
    app.add_flag("--json", common.json, "print the result (inventory, plan or run report) as JSON");
    app.add_flag("--events", common.ui.events,
                 "progress, status and messages as JSON lines on stderr");
    app.add_flag("--dry-run", common.dryRun,
                 "check and print the plan (devices, files, versions, steps); send nothing");
    app.add_option("--mode", common.mode, "start mode: S, A, P, PS or O (P and O: production)")
        ->check(CLI::IsMember({"S", "A", "P", "PS", "O"}));
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
    app.add_option("--download-dir", common.downloadDirectory,
                   "folder with the firmware files instead of the stored download directory")
        ->type_name("DIR")
        ->check(CLI::ExistingDirectory);
    app.add_option("--simulate", common.simulate,
                   "run the simulated rack in this process (optionally from RACK_FILE) and "
                   "connect to it; stored settings stay as they are")
        ->expected(0, 1)
        ->type_name("RACK_FILE");
}

CLI::App* slotsCommand(CLI::App& app, const char* name, const char* help, DriverOptions& o) {
    CLI::App* command = app.add_subcommand(name, help);
    command
        ->add_option("--slots,--slot", o.amplifierSlots, "slot numbers 1-16, separated by commas")
        ->required();
    return command;
}

void addDriverCommands(CLI::App& app, DriverOptions& o,
                       std::vector<std::pair<CLI::App*, std::function<int()>>>& commands,
                       const CommonOptions& common) {
    auto* download = slotsCommand(app, "download", "download firmware into amplifier slots", o);
    download->add_option("--firmware", o.firmware, "file name as the firmware list shows it");
    auto* include = download->add_flag("--include-loader1", o.includeLoader1,
                                       "write the loader-1 area as well");
    download->add_flag("--only-loader1", o.onlyLoader1, "write loader 1 only")->excludes(include);
    download->add_flag("--sequential", o.sequential, "one slot after the other");
    download->add_flag("--iec", o.iec, "download the IEC software");
    download->add_flag("--activate-only", o.activateOnly, "start the firmware without writing it");
    download->add_option(
        "--backup", o.backup,
        "upload each module's flash into this directory first; stop if that fails");
    commands.emplace_back(download, [&] { return RunDownload(common, o); });

    auto* all = app.add_subcommand("update-all", "update every outdated amplifier");
    commands.emplace_back(all, [&] { return RunUpdateAll(common); });

    auto* upload = slotsCommand(app, "upload", "upload a module's flash or EEPROM data", o);
    upload->add_option("what", o.what, "flash or eeprom")
        ->required()
        ->check(CLI::IsMember({"flash", "eeprom"}));
    upload->add_option("--output", o.output, "target file (flash) or file prefix (eeprom)")
        ->required();
    upload->add_flag("--iec", o.iec, "the IEC software only");
    commands.emplace_back(upload, [&] { return RunUpload(common, o); });

    auto* mode = slotsCommand(app, "mode", "switch modules to RC or RA mode", o);
    mode->add_option("what", o.what, "rc or ra")->required()->check(CLI::IsMember({"rc", "ra"}));
    commands.emplace_back(mode, [&] { return RunMode(common, o); });

    auto* sub = slotsCommand(app, "subchannels", "change the sub-channel count", o);
    sub->add_option("value", o.value, "the new count")->required();
    commands.emplace_back(sub, [&] { return RunSubChannels(common, o); });

    auto* baud = app.add_subcommand("baud-reset", "reset the rack's internal baud rate");
    commands.emplace_back(baud, [&] { return RunBaudReset(common); });
    auto* loader1 = slotsCommand(app, "reset-loader1", "reset the hidden loader 1 of a slot", o);
    commands.emplace_back(loader1, [&] { return RunResetLoader1(common, o); });
    auto* names = slotsCommand(app, "clear-names", "clear the channel names", o);
    commands.emplace_back(names, [&] { return RunClearNames(common, o); });
    auto* reset = app.add_subcommand("reset", "reset the rack");
    commands.emplace_back(reset, [&] { return RunReset(common); });
}

using Commands = std::vector<std::pair<CLI::App*, std::function<int()>>>;

void addProcessorCommands(CLI::App& app, DeviceOptions& o, Commands& commands,
                          const CommonOptions& common) {
    auto* processor =
        app.add_subcommand("processor", "update or restart the communication processor");
    processor->require_subcommand(1);
    const std::pair<const char*, ProcessorAction> actions[] = {
        {"download", ProcessorAction::Download}, {"loader1", ProcessorAction::Loader1}};
    for (const auto& [name, action] : actions) {
        auto* command = processor->add_subcommand(name, name == std::string("download")
                                                            ? "write a firmware directory"
                                                            : "write the processor's loader 1");
        command->add_option("--directory", o.directory, "firmware directory as the list shows it");
        command->add_option("--function", o.function, "function of the directory's function file");
        commands.emplace_back(
            command, [&, chosen = action] { return RunProcessorCommand(common, o, chosen); });
    }
    auto* activate = processor->add_subcommand("activate", "restart the processor's firmware");
    commands.emplace_back(
        activate, [&] { return RunProcessorCommand(common, o, ProcessorAction::Activate); });
    auto* kx33 = app.add_subcommand("kx33", "the KX33 processor")->require_subcommand(1);
    auto* upload = kx33->add_subcommand("upload", "read the whole KX33 flash into a file");
    upload->add_option("--output", o.output, "target file")->required();
    commands.emplace_back(upload, [&] { return RunKx33Upload(common, o); });
}

void addPanelCommands(CLI::App& app, DeviceOptions& o, Commands& commands,
                      const CommonOptions& common) {
    auto* panel = app.add_subcommand("panel", "update, restart or bootstrap the display panel");
    panel->require_subcommand(1);
    const std::pair<const char*, PanelAction> actions[] = {{"download", PanelAction::Download},
                                                           {"loader1", PanelAction::Loader1},
                                                           {"activate", PanelAction::Activate},
                                                           {"bootstrap", PanelAction::Bootstrap}};
    for (const auto& [name, action] : actions) {
        auto* command = panel->add_subcommand(name, std::string("panel ") + name);
        command->add_option("--firmware", o.firmware, "file name as the firmware list shows it");
        if (action == PanelAction::Bootstrap) {
            command->add_option("--serial", o.serialNumber, "serial number (12 characters)")
                ->required();
            command->add_option("--hw-rev", o.hardwareRevision, "hardware revision (4 characters)")
                ->required();
        }
        commands.emplace_back(command,
                              [&, chosen = action] { return RunPanelCommand(common, o, chosen); });
    }
}

void addNodePodCommands(CLI::App& app, DeviceOptions& o, Commands& commands,
                        const CommonOptions& common) {
    auto* nodepod =
        app.add_subcommand("nodepod", "the NodePods behind an RA56")->require_subcommand(1);
    auto* scan = nodepod->add_subcommand("scan", "list the NodePods behind the RA56");
    scan->add_option("--slot", o.slot, "slot 1-16 of the RA56")->required();
    commands.emplace_back(scan, [&] { return RunNodePodScan(common, o); });
    auto* download = nodepod->add_subcommand("download", "write NodePod firmware, node after node");
    download->add_option("--slot", o.slot, "slot 1-16 of the RA56")->required();
    download->add_option("--nodes", o.nodes, "node IDs separated by commas, or all")->required();
    download->add_option("--firmware", o.firmware, "file name as the firmware list shows it");
    download->add_flag("--only-loader1", o.onlyLoader1, "write loader 1 only");
    commands.emplace_back(download, [&] { return RunNodePodDownload(common, o); });
}

}  // namespace

namespace quorvel::cli {

int RunCommandLine(const std::vector<std::string>& arguments) {
    CLI::App app{
        "quorvel-cli: scans Ventrix racks, updates and maintains their amplifiers, processor, "
        "panel "
        "and NodePods.\n"
        "Exit codes: 0 done, 1 failed, 2 nothing to do, 3 no rack or device found."};
    app.name("quorvel-cli");
    app.set_version_flag("--version", std::string("quorvel-cli ") + quorvel::kProgramVersion);
    app.require_subcommand(1);
    app.fallthrough();
    CommonOptions common;
    common.configDirectory = quorvel::ConfigDirectory(quorvel::ProgramDirectory()).toStdString();
    bool verbose = false;
    bool quiet = false;
    addCommonOptions(app, common, verbose, quiet);

    std::vector<std::pair<CLI::App*, std::function<int()>>> commands;
    auto* scan = app.add_subcommand("scan", "scan the rack and print its inventory");
    commands.emplace_back(scan, [&] { return RunScan(common, ScanOptions{}); });
    DriverOptions driver;
    addDriverCommands(app, driver, commands, common);
    DeviceOptions device;
    addProcessorCommands(app, device, commands, common);
    addPanelCommands(app, device, commands, common);
    addNodePodCommands(app, device, commands, common);

    FirmwareListOptions firmware;
    auto* firmwareCommand = app.add_subcommand("firmware", "firmware in the download directory");
    firmwareCommand->require_subcommand(1);
    auto* firmwareList = firmwareCommand->add_subcommand(
        "list",
        "scan the rack and list the firmware a download would offer for one device; "
        "the default choice is marked *");
    firmwareList->add_option("--slot", firmware.slot, "amplifier slot 1-16");
    firmwareList->add_flag("--processor", firmware.processor, "the communication processor");
    firmwareList->add_flag("--panel", firmware.panel, "the display and control panel");
    firmwareList->add_option("--dir", firmware.directory,
                             "download directory instead of the stored one");
    firmwareList->add_flag("--json", firmware.json, "print the list as JSON");
    commands.emplace_back(firmwareList, [&] {
        firmware.json = firmware.json || common.json;
        return RunFirmwareList(common, firmware);
    });

    try {
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? kExitDone : kExitFailed;
    }
    if (app.get_option("--simulate")->count() > 0 && !common.simulate) common.simulate = "";
    common.ui.verbosity = quiet     ? Verbosity::Quiet
                          : verbose ? Verbosity::Verbose
                                    : Verbosity::Normal;
    common.ui.interactive = isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
    common.ui.redrawProgress = isatty(STDERR_FILENO) && !common.ui.events;
    for (const auto& [command, run] : commands)
        if (command->parsed()) return run();
    return kExitFailed;
}

}  // namespace quorvel::cli
