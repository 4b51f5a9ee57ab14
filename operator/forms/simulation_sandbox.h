#pragma once
// A simulated session keeps the operator's stored settings as they are: it works on copies in a
// temporary directory that disappears with the program.
#include <QString>
#include <QTemporaryDir>

namespace quorvel::forms {

class SimulationSandbox {
  public:
    // Copies the settings file and the COM mapping file when they exist.
    SimulationSandbox(const QString& settingsFile, const QString& comMappingFile);

    bool valid() const { return directory_.isValid(); }
    QString settingsFile() const { return directory_.filePath("Quorvel.ini"); }
    QString comMappingFile() const { return directory_.filePath("ports.conf"); }
    QString instanceLockDirectory() const { return directory_.path(); }

  private:
    QTemporaryDir directory_;
};

}  // namespace quorvel::forms
