#include "operator/shell/settings_store.h"

#include <QSettings>

namespace quorvel {
namespace {
const QString kProperties = "Properties";
const QString kApp = "App";
}  // namespace

SettingsStore::SettingsStore(const QString& iniFile)
    : settings_(iniFile.isEmpty()
                    ? std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                  "Quorvel", "Quorvel")
                    : std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::value(const QString& section, const QString& key,
                             const QString& fallback) const {
    return settings_->value(section + "/" + key, fallback).toString();
}

void SettingsStore::setValue(const QString& section, const QString& key, const QString& value) {
    settings_->setValue(section + "/" + key, value);
}

StoredSettings SettingsStore::readAll(const SettingsDefaults& defaults) const {
    StoredSettings s;
    PortSettings& p = s.port;
    auto read = [this](const QString& key, QString& field) {
        field = value(kProperties, key, field);
    };
    read("CommPort", p.commPort);
    read("Baudrate", p.baudrate);
    read("Flow", p.flow);
    read("Parity", p.parity);
    read("DataBits", p.dataBits);
    read("StopBits", p.stopBits);
    read("Rs485Adr", p.rs485Adr);
    read("GpibAdr", p.gpibAdr);
    read("IpAdr", p.ipAdr);
    read("USBAdr", p.usbAdr);
    read("ResetTimeout3", p.resetTimeout3);
    s.downloadPath = value(kProperties, "DownloadPath", defaults.downloadPath);
    s.logFileName = value(kProperties, "LogFileName", defaults.logFileName);
    read("LogActive", s.logActive);
    s.left = value(kApp, "Left", s.left);
    s.top = value(kApp, "Top", s.top);
    s.instance = value(kApp, "Instance", s.instance);
    s.ipCnt = value(kApp, "IpCnt", s.ipCnt);
    return s;
}

void SettingsStore::writePort(const PortSettings& p) {
    setValue(kProperties, "CommPort", p.commPort);
    setValue(kProperties, "Baudrate", p.baudrate);
    setValue(kProperties, "Flow", p.flow);
    setValue(kProperties, "Parity", p.parity);
    setValue(kProperties, "DataBits", p.dataBits);
    setValue(kProperties, "StopBits", p.stopBits);
    setValue(kProperties, "Rs485Adr", p.rs485Adr);
    setValue(kProperties, "GpibAdr", p.gpibAdr);
    setValue(kProperties, "IpAdr", p.ipAdr);
    setValue(kProperties, "USBAdr", p.usbAdr);
    setValue(kProperties, "ResetTimeout3", p.resetTimeout3);
}

bool SettingsStore::sync() {
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

QString SettingsStore::fileName() const { return settings_->fileName(); }

}  // namespace quorvel
