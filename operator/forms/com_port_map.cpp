#include "operator/forms/com_port_map.h"

#include <libserialport.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quorvel::forms {
namespace {

QString describe(sp_port* port) {
    const char* description = sp_get_port_description(port);
    return description ? QString::fromLocal8Bit(description) : QString();
}

bool isLineFor(const QString& line, const QString& name) {
    const QString trimmed = line.trimmed();
    const auto equals = trimmed.indexOf('=');
    return equals > 0 && trimmed.left(equals).trimmed() == name;
}

}  // namespace

QList<SerialDevice> SerialDevices() {
    QList<SerialDevice> devices;
    sp_port** ports = nullptr;
    if (sp_list_ports(&ports) != SP_OK) return devices;
    for (sp_port** port = ports; *port; ++port) {
        devices.append({QString::fromLocal8Bit(sp_get_port_name(*port)), describe(*port)});
    }
    sp_free_port_list(ports);
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice& a, const SerialDevice& b) { return a.path < b.path; });
    return devices;
}

bool StoreComMapping(const QString& file, int comNumber, const QString& device, QString& error) {
    const QString name = QString("COM%1").arg(comNumber);
    QStringList lines;
    if (QFile existing(file); existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly | QIODevice::Text)) {
            error = existing.errorString();
            return false;
        }
        lines = QString::fromUtf8(existing.readAll()).split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    }
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [&](const QString& line) { return isLineFor(line, name); }),
                lines.end());
    if (!device.isEmpty()) lines.append(name + "=" + device);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text)) {
        error = out.errorString();
        return false;
    }
    out.write((lines.join('\n') + '\n').toUtf8());
    if (!out.commit()) {
        error = out.errorString();
        return false;
    }
    return true;
}

}  // namespace quorvel::forms
