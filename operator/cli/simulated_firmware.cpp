#include "operator/cli/simulated_firmware.h"

#include <QDir>
#include <QFile>
#include <stdexcept>
#include <string>

#include "tools/fwgen/amplifier_set.h"
#include "tools/fwgen/nodepod_set.h"
#include "tools/fwgen/panel_firmware.h"
#include "tools/fwgen/processor_firmware.h"

namespace quorvel::cli {
namespace {

// Standard releases end with ".s00" (".s72" for F72 modules) and are the lists' default; the
// older releases are special versions, so that an update picks the newer one.
std::string olderExtension(const fwgen::AmplifierModel& model) {
    return model.suffix == "F72" ? ".f72" : ".s01";
}

std::string at(const std::string& directory, const std::string& name) {
    return directory + "/" + name;
}

void writeAmplifierRelease(const std::string& directory, const fwgen::AmplifierModel& model,
                           bool older) {
    fwgen::AmplifierFirmware fw = fwgen::amplifierFirmware(model);
    if (older) fw.applicationName.replace(fw.applicationName.size() - 4, 4, olderExtension(model));
    std::string production = fw.loader2Name;
    production.replace(production.size() - 3, 3, "lp2");
    fwgen::writeFileAtomically(at(directory, fw.applicationName), fw.applicationText);
    fwgen::writeFileAtomically(at(directory, fw.loader2Name), fw.loader2Text);
    fwgen::writeFileAtomically(at(directory, production), fw.loader2Text);
    fwgen::writeFileAtomically(at(directory, fw.loader1Name), fw.loader1Text);
}

// The shipped models, the RA56 that carries the NodePods, and the RA51 with F72 firmware.
std::vector<fwgen::AmplifierModel> amplifierModels() {
    std::vector<fwgen::AmplifierModel> models = fwgen::amplifierModels();
    fwgen::AmplifierModel ra56 = fwgen::amplifierModel(2);
    ra56.model = ra56.kind = ra56.typeName = ra56.prefix = "RA56";
    ra56.amtNumber = 56;
    ra56.version = "P2.11";
    models.push_back(ra56);
    fwgen::AmplifierModel f72 = fwgen::amplifierModel(2);
    f72.suffix = "F72";
    models.push_back(f72);
    return models;
}

// "P2.07" -> "P2.05"
std::string olderVersion(const std::string& version) {
    const int minor = std::stoi(version.substr(3, 2));
    const int older = minor >= 2 ? minor - 2 : 0;
    return version.substr(0, 3) + (older < 10 ? "0" : "") + std::to_string(older);
}

void writeAmplifiers(const std::string& directory) {
    for (fwgen::AmplifierModel model : amplifierModels()) {
        writeAmplifierRelease(directory, model, false);
        model.version = olderVersion(model.version);
        writeAmplifierRelease(directory, model, true);
    }
}

void writeProcessor(const std::string& directory) {
    for (const auto& [folder, version] :
         {std::pair{"KX43P206.S00", "P2.06"}, std::pair{"KX43P130.S01", "P1.30"}}) {
        const std::string path = at(directory, folder);
        fwgen::writeKx43Firmware(path, version);
        fwgen::writeFileAtomically(at(path, "KX43.CFG"), fwgen::kx43FunctionFile());
    }
}

void writePanel(const std::string& directory) {
    const auto hex = [&](const std::string& name, const std::vector<fwgen::Segment>& segments) {
        fwgen::writeFileAtomically(at(directory, name), fwgen::toIntelHex(segments));
    };
    const auto loaderII = fwgen::panelLoaderII(fwgen::PanelLayout::Large);
    hex("DV43A420.S00", fwgen::panelApplication("P4.20", 0x60000));
    hex("DV43A420.LD2", loaderII);
    hex("DV43A400.S01", fwgen::panelApplication("P4.00", 0x60000));
    hex("DV43A400.LD2", loaderII);
    hex("DV43A100.ld1", fwgen::panelLoaderI());
    hex("DV43A100.LD2", loaderII);
}

void writeNodePods(const std::string& directory, const std::string& tablesDirectory) {
    fwgen::NodePodSet set;
    for (const char* version : {"1.50", "2.10"}) {
        set.version = version;
        fwgen::writeNodePodSet(directory, set);
    }
    fwgen::writeNodePodConfig(tablesDirectory, {set.type});
}

void copyTable(const QString& from, const QString& to, const char* name) {
    const QString target = QDir(to).filePath(name);
    if (!QFile::copy(QDir(from).filePath(name), target))
        throw std::runtime_error("cannot copy " + QDir(from).filePath(name).toStdString());
}

}  // namespace

SimulatedFirmware::SimulatedFirmware(const QString& configDirectory) {
    if (!directory_.isValid())
        throw std::runtime_error("cannot create a temporary directory: " +
                                 directory_.errorString().toStdString());
    const std::string downloads = downloadDirectory().chopped(1).toStdString();
    QDir().mkpath(downloadDirectory());
    for (const char* table : {"ws.cfg", "kx.cfg"})
        copyTable(configDirectory, tablesDirectory(), table);
    writeAmplifiers(downloads);
    writeProcessor(downloads);
    writePanel(downloads);
    writeNodePods(downloads, tablesDirectory().toStdString());
}

}  // namespace quorvel::cli
