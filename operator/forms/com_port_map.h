#pragma once
// Which device COM1 and COM2 lead to on this machine: the serial devices present, and the
// mapping file the port library reads ("COM1=/dev/ttyUSB0" lines).
#include <QString>
#include <QStringList>

namespace quorvel::forms {

// The serial devices libserialport finds, by device path, each with its description.
struct SerialDevice {
    QString path;
    QString description;
};
QList<SerialDevice> SerialDevices();

// Replaces or adds the line "COM<n>=<device>" in `file`, keeping every other line; an empty
// device removes the line. Written through a temporary file; false with `error` set on failure.
bool StoreComMapping(const QString& file, int comNumber, const QString& device, QString& error);

}  // namespace quorvel::forms
