#pragma once
// An operator shell in a temporary installation: program directory with configuration files,
// its own settings file, instance locks and protocol log. Nothing touches the user's files.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>
#include <memory>

#include "operator/shell/operator_shell.h"
#include "scripted_ui.h"

namespace operator_tests {

// The installation and the user's files of one test, all in a temporary directory.
class ShellSandbox {
public:
    ShellSandbox();

    // A file in the program directory.
    void writeProgramFile(const QString& name, const QByteArray& content);
    // The usual configuration files, so that start-up shows no message about them.
    void writeDefaultConfigFiles();
    // A value in the settings file before the shell starts.
    void store(const QString& section, const QString& key, const QString& value);
    QString stored(const QString& section, const QString& key);

    quorvel::ShellEnvironment environment() const;
    // A new shell on the same installation (a second instance shares the lock directory).
    std::unique_ptr<quorvel::OperatorShell> makeShell(ScriptedUi& ui) const;
    // Makes `shell_` and starts it.
    bool start(const QString& commandLine = {});

    QString logText() const;
    QStringList loggedTexts() const;  // entry texts without date and time

    QTemporaryDir directory;
    QString programDirectory, settingsFile, lockDirectory, logFile;
    ScriptedUi ui;
    std::unique_ptr<quorvel::OperatorShell> shell;
};

class ShellTest : public ::testing::Test, public ShellSandbox {};

}  // namespace operator_tests
