#include "rack/nodepod/nodepod_components.h"

#include <stdexcept>

#include "rack/nodepod/nodepod_firmware.h"
#include "rack/nodepod/ra56_module.h"

namespace rack::nodepod {

namespace {

namespace fw = nodepod_firmware;

// The head's flash as the factory left it: the application (with its restart vector unless
// "restartVector" is false) and loader 1 (unless "loader1" is null).
NodeFlash factoryFlash(const nlohmann::json& j, fw::Hardware hardware, int typeNumber) {
    NodeFlash flash(hardware);
    if (j.contains("application") && !j["application"].is_null()) {
        const auto& a = j["application"];
        fw::ApplicationInfo info;
        info.typeNumber = static_cast<uint16_t>(typeNumber);
        info.name = a.value("name", std::string("NodePod"));
        info.version = a.value("version", std::string("1.00"));
        info.entry = a.value("entry", info.entry);
        auto segments = fw::buildApplication(info);
        if (!a.value("restartVector", true)) segments.pop_back();
        flash.load(segments);
    }
    const auto loader1 = j.value("loader1", nlohmann::json{{"version", "1.00"}});
    if (!loader1.is_null())
        flash.load(fw::buildLoader1({loader1.value("version", std::string("1.00")), hardware}));
    return flash;
}

std::unique_ptr<SimulatedNode> nodeFromJson(const nlohmann::json& j) {
    NodeIdentity identity;
    identity.id = j.at("id").get<int>();
    identity.typeNumber = j.value("type", 0);
    identity.serialNumber = j.value("serial", 0);
    identity.hardwareRevision = j.value("hardwareRevision", identity.hardwareRevision);
    const auto hardware = fw::hardwareOfRevision(identity.hardwareRevision);
    auto node =
        std::make_unique<SimulatedNode>(identity, factoryFlash(j, hardware, identity.typeNumber));
    const std::string program = j.value("program", std::string("flash"));
    if (program == "loader1")
        node->holdInLoader1();
    else if (program == "loader2")
        node->runLoader2(j.value("loader2Version", std::string("2.00")));
    else if (program != "flash")
        throw std::invalid_argument("node program \"" + program +
                                    "\" is not flash, loader1 or loader2");
    return node;
}

std::unique_ptr<Component> ra56FromJson(const nlohmann::json& config, Placement where) {
    Ra56Timing timing;
    timing.parameterInitMs = config.value("parameterInitMs", timing.parameterInitMs);
    timing.stageMs = std::max(1, config.value("stageMs", timing.stageMs));
    if (where.role != Role::Slot) throw std::invalid_argument("an RA56 belongs in a slot");
    auto module =
        std::make_unique<Ra56Module>(amplifier::ModuleConfig::fromJson(config), where.slot, timing);
    module->setRefuseDownloadMode(config.value("refuseDownloadMode", false));
    for (const auto& n : config.value("nodes", nlohmann::json::array())) {
        const int id = n.at("id").get<int>();
        if (module->node(id))
            throw std::invalid_argument("node ID " + std::to_string(id) + " is described twice");
        module->addNode(nodeFromJson(n));
    }
    return module;
}

}  // namespace

void registerNodePodComponents(ComponentRegistry& registry) {
    for (const char* kind : {"RA56", "RA56B"}) registry.add(kind, ra56FromJson);
}

}  // namespace rack::nodepod
