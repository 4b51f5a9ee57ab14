#pragma once
// The download directory and hardware tables of a simulated session: test firmware for every
// device of the shipped simulated rack, a newer release (offered by default) and an older one
// (a special version) of each, in a temporary directory that disappears with this object.
#include <QString>
#include <QTemporaryDir>

namespace quorvel::cli {

class SimulatedFirmware {
  public:
    // Copies ws.cfg and kx.cfg from `configDirectory` and writes the firmware and NodePod.cfg;
    // throws std::runtime_error naming what could not be written.
    explicit SimulatedFirmware(const QString& configDirectory);

    // The firmware, ending with "/".
    QString downloadDirectory() const { return directory_.filePath("Download") + "/"; }
    // The hardware tables: ws.cfg, kx.cfg, and NodePod.cfg with the simulated heads' type.
    QString tablesDirectory() const { return directory_.path(); }

  private:
    QTemporaryDir directory_;
};

}  // namespace quorvel::cli
