#pragma once
// The per-user settings store: application "Quorvel", sections "Properties" and "App", every
// value a string. A missing key reads as its default.
#include <QString>
#include <memory>

class QSettings;

namespace quorvel {

// The port settings of section "Properties", as stored (all strings).
struct PortSettings {
    QString commPort = "COM1";
    QString baudrate = "9600";
    QString flow = "RTS";
    QString parity = "even";
    QString dataBits = "8";
    QString stopBits = "1";
    QString rs485Adr = "1";
    QString gpibAdr = "2";
    QString ipAdr = "192.168.0.140";
    QString usbAdr = "";
    QString resetTimeout3 = "30";
};

// Everything the program reads at start-up.
struct StoredSettings {
    PortSettings port;
    QString downloadPath;
    QString logFileName;
    QString logActive = "255";
    QString left = "-1";
    QString top = "-1";
    QString instance = "0";
    QString ipCnt = "0";
};

// Defaults that depend on the installation.
struct SettingsDefaults {
    QString downloadPath;  // program directory + "/Download/"
    QString logFileName;   // the library's log file name
};

class SettingsStore {
public:
    // `iniFile` empty: the user's store ($XDG_CONFIG_HOME/Quorvel/Quorvel.ini).
    explicit SettingsStore(const QString& iniFile = {});
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    StoredSettings readAll(const SettingsDefaults& defaults) const;

    QString value(const QString& section, const QString& key, const QString& fallback) const;
    void setValue(const QString& section, const QString& key, const QString& value);
    void writePort(const PortSettings& port);
    // Writes to disk now; false when the store cannot be written.
    bool sync();
    QString fileName() const;

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace quorvel
