#include "cli_process.h"

#include <QProcess>
#include <QProcessEnvironment>

namespace testing_support {

CliRun runCli(const QString& program, const QString& home, const QStringList& arguments,
              const QStringList& environment) {
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    variables.insert("XDG_CONFIG_HOME", home + "/config");
    variables.insert("XDG_STATE_HOME", home + "/state");
    variables.remove("XDG_RUNTIME_DIR");
    variables.insert("TMPDIR", home);
    for (const QString& entry : environment)
        variables.insert(entry.section('=', 0, 0), entry.section('=', 1));
    QProcess cli;
    cli.setProcessEnvironment(variables);
    cli.start(program, arguments);
    if (!cli.waitForFinished(60000)) {
        cli.kill();
        cli.waitForFinished();
    }
    return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
            cli.readAllStandardOutput().toStdString(), cli.readAllStandardError().toStdString()};
}

}  // namespace testing_support
