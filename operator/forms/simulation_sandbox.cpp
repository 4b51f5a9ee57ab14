#include "operator/forms/simulation_sandbox.h"

#include <QFile>

namespace quorvel::forms {

SimulationSandbox::SimulationSandbox(const QString& settings, const QString& comMapping) {
    if (!directory_.isValid()) return;
    QFile::copy(settings, settingsFile());
    QFile::copy(comMapping, comMappingFile());
    QFile(settingsFile()).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

}  // namespace quorvel::forms
