#include "operator/forms/menu_layout.h"

namespace quorvel::forms {

const std::vector<Menu>& MainMenus() {
    static const std::vector<Menu> menus = {
        {"mnuFileMain", "&File", {{"mnuFileExit", "E&xit"}}},
        {"mnuTransferMain",
         "&Transfer",
         {
             {"mnuOptionsConfig", "&Configure Port"},
             {"mnuSetDirDownload", "Directory for firmware files"},
             {"mnuOptionsScan", "&Scan VTX system"},
             {"mnuSep2", {}},
             {"mnuTransferDown", "&Download Ventrix Firmware"},
             {"mnuTransferNodePodDown", "Download NODEPOD Firmware"},
             {"mnuTransferDownIEC", "Download IEC software RA50/RA97B"},
             {"mnuTransferAll", "Update all RA Amplifiers"},
             {"mnuTransferUpIEC", "Upload IEC software RA50/RA97B", true},
             {"mnuTransferUpKX33", "Upload KX33 Firmware", true},
             {"mnuTransferUpRA", "Upload RAxx Firmware", true},
             {"mnuTransferUpEEPROM", "Upload JB9xx/JB6xx EEPROM", true},
             {"mnuSep3", {}, true},
             {"mnuTransferKX43Loader1", "KX43B Download Loader1"},
             {"mnuTransferDVLoader1", "DV Download Loader1", true},
             {"mnuSep4", {}, true},
             {"mnuBootloaderDV", "DV Bootstraploader", true},
         }},
        {"mnuToolsMain",
         "Too&ls",  // Alt+O opens Options
         {
             {"mnuToolsActKX43", "Activate KX43/63"},
             {"mnuToolsActDV33", "Activate DV33A"},
             {"mnuToolsActRAxx", "Activate RAxx"},
             {"mnuToolsSep", {}},
             {"mnuToolsSwitch2RC", "Switch to RC mode"},
             {"mnuToolsSwitch2RA", "Switch to RA mode"},
             {"mnuToolsSep2", {}},
             {"mnuToolsChannels51", "Change Channel Number RA50/RA51/RA56/RA55/RA901B"},
             {"mnuToolsSep1", {}},
             {"mnuShowLogFile", "Show Logfile (Quorlink.log)"},
             {"mnuToolsIntBaudrate", "Reset internal baudrate"},
             {"mnuToolsResetVTX", "Reset VTX system"},
             {"mnuToolsResetL1Split", "Reset Hidden Loader1 in VTXsplit"},
             {"mnuToolsClrUcc", "Clear channel name"},
         }},
        {"mnuOptionsMain",
         "&Options",
         {
             {"mnuScanForLoader1", "Scan empty slot for Loader1", false, true},
             {"mnuVTXLogFileActive", "Write Quorlink Logfile (Quorlink.log)", false, true},
             {"mnuLogFileActive", "Write Low Level Logfile (comlog.log)", false, true},
             {"mnuIncludeLoader1", "Include Loader1 in RA download", true, true},
             {"mnuOnlyLoader1", "Only Loader1 download (Admin-Function)", true, true},
             {"mnuSequRA", "Sequentiel RA download", true, true},
             {"mnuOptionsSep", ""},
             {"mnuDarkTheme", "Dark theme", false, true},
         }},
        {"mnuHelpMain", "&?", {{"mnuHelp", "&Help"}, {"mnuHelpAbout", "&About"}}},
    };
    return menus;
}

const std::vector<ToolbarButton>& ToolbarButtons() {
    static const std::vector<ToolbarButton> buttons = {
        {"ConfigurePort", "Port", "Configure the port to the rack", "preferences-system"},
        {"ScanSystem", "Scan", "Scan the rack", "view-refresh"},
        {"Download", "Download", "Download firmware into the ticked devices", "go-down"},
        {"NodePod", "NodePod", "Download NodePod firmware", "network-wired"},
        {"SelectAll", "Select all", "Tick or untick every amplifier", "edit-select-all"},
        {"OnlineHelp", "Help", "Open the manual", "help-contents"},
    };
    return buttons;
}

}  // namespace quorvel::forms
