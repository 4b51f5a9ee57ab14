#pragma once
// The program-wide state of the operator program: start mode, settings in memory, connection
// parameters, option flags, the configuration tables and the device inventory.
#include <QString>

#include "operator/shell/config_tables.h"
#include "operator/shell/connection_parameters.h"
#include "operator/shell/device_inventory.h"
#include "operator/shell/settings_store.h"

namespace quorvel {

struct ProgramState {
    QString StartMode;
    QString StartSubMode;
    QString Title;
    QString DownloadDirectory;
    QString UploadDirectory;
    PortSettings Port;
    ConnectionParameters Connection;
    int Instance = 0;
    int IpCnt = 0;
    bool TrafficLogOn = false;
    bool Busy = false;
    bool RestartPending = false;

    // option menu entries and driver flags
    bool ScanForLoader1 = false;
    bool IncludeLoader1 = false;
    bool OnlyLoader1 = false;
    bool SequentialDownload = false;
    bool PanelLoader1 = false;
    bool AmplifierModeFlag = false;
    QString SelectedFirmwareFile;
    QString SelectedFirmwareVersion;
    int LastResult = 0;

    ConfigTables Tables;
    DeviceInventory Inventory;
};

}  // namespace quorvel
