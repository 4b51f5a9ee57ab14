#include "operator/forms/runtime_directory.h"

#include <QDir>
#include <QFile>

#include "operator/shell/instance_check.h"

namespace quorvel::forms {

void ProvideRuntimeDirectory() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
    const QString directory = PrivateTemporaryDirectory();
    // The shared temporary directory would only earn a warning about its permissions instead.
    if (directory == QDir::tempPath()) return;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(directory));
}

}  // namespace quorvel::forms
