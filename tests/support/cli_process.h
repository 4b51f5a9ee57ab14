#pragma once
// quorvel-cli run as a process of its own, its settings, state, locks and temporary files in a
// test's folder; XDG_RUNTIME_DIR is unset, as under a service or a plain ssh login.
#include <QString>
#include <QStringList>
#include <string>

namespace testing_support {

struct CliRun {
    int exitCode = -1;  // -1: crashed or killed after a minute
    std::string out;
    std::string err;
};

// Runs `program` with `arguments`; `environment` adds "NAME=value" entries.
CliRun runCli(const QString& program, const QString& home, const QStringList& arguments,
              const QStringList& environment = {});

}  // namespace testing_support
