#include "operator/shell/start_mode.h"

namespace quorvel {
namespace {

const QStringList kServiceEntries = {
    "mnuIncludeLoader1", "mnuToolsSep1",         "mnuToolsIntBaudrate", "mnuTransferUpRA",
    "mnuTransferUpKX33", "mnuTransferUpIEC",     "mnuSep3",             "mnuTransferDVLoader1",
    "mnuSep4",           "mnuBootloaderDV",      "mnuSequRA",           "mnuTransferUpEEPROM",
};

}  // namespace

bool IsServiceMode(const QString& startMode) { return startMode == "S" || startMode == "A"; }

StartModeEffects ApplyStartMode(const QString& commandLine) {
    StartModeEffects e;
    e.startMode = commandLine;
    if (commandLine == "S") {
        e.visibleEntries = kServiceEntries;
        e.titleSuffix = " -S-";
    } else if (commandLine == "A") {
        e.visibleEntries = kServiceEntries;
        e.visibleEntries << "mnuOnlyLoader1";
        e.titleSuffix = " -A-";
    } else if (commandLine == "P" || commandLine == "PS") {
        e.visibleEntries = kServiceEntries;
        e.checkedEntries << "mnuIncludeLoader1";
        e.enabledEntries << "mnuBootloaderDV";
        e.titleSuffix = " -" + commandLine + "-";
        if (commandLine == "PS") {
            e.startSubMode = "S";
            e.startMode = "P";
            e.checkedEntries << "mnuSequRA";
        }
    } else if (commandLine == "O") {
        e.titleSuffix = " -O-";
    }
    for (const char* always : {"mnuToolsSep1", "mnuToolsIntBaudrate"}) {
        if (!e.visibleEntries.contains(always)) e.visibleEntries << always;
    }
    return e;
}

}  // namespace quorvel
