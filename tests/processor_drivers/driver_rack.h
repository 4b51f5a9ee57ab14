#pragma once
// The operator program's drivers against the simulated rack in-process: an operator shell in a
// temporary installation with the strict scripted UI, a download directory, the rack scanned
// like the operator does before every driver, and the virtual clock.
#include <QTemporaryDir>
#include <memory>

#include "operator/drivers/driver_context.h"
#include "operator/shell/operator_shell.h"
#include "sim_rack.h"
#include "strict_ui.h"

namespace driver_tests {

// A temporary installation: program directory with the hardware tables, settings, download
// directory and protocol log; the shell with the strict UI and a driver context once started.
class DriverSandbox {
  public:
    DriverSandbox();
    ~DriverSandbox();

    // A value in the settings file before the shell starts ("Properties", "CommPort", ...).
    void store(const QString& section, const QString& key, const QString& value);
    // Starts the shell in `startMode` and scans the rack.
    void startShell(const QString& startMode = {});
    // The download directory (and a path in it).
    QString downloads(const QString& name = {}) const;
    QStringList protocol() const;  // entry texts without date and time

    QTemporaryDir directory;
    testing_support::StrictUi ui;
    std::unique_ptr<quorvel::OperatorShell> shell;
    std::unique_ptr<quorvel::DriverContext> context;

  private:
    QString settingsFile_;
    QString logFile_;
};

class DriverRackTest : public testing_support::SimRackTest, public DriverSandbox {
  protected:
    // Builds the rack (with a panel unless it names one), starts the shell in `startMode` and
    // scans.
    void startOn(nlohmann::json rackDescription, const QString& startMode = {}) {
        if (!rackDescription.contains("panel")) rackDescription["panel"] = {{"kind", "DV43A"}};
        useRack(rackDescription);
        startShell(startMode);
    }
    int countReceived(const std::string& prefix);
};

}  // namespace driver_tests
