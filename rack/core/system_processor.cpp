#include "rack/core/system_processor.h"

#include "rack/core/rack.h"

namespace rack {

ProcessorIdentity ProcessorIdentity::fromJson(const nlohmann::json& j) {
    ProcessorIdentity id;
    id.kind = j.value("kind", id.kind);
    id.identity = j.value("identity", id.identity);
    id.hardwareRevision = j.value("hardwareRevision", id.hardwareRevision);
    id.version = j.value("version", id.version);
    id.loaderRevision = j.value("loaderRevision", id.loaderRevision);
    id.kernelRevision = j.value("kernelRevision", id.kernelRevision);
    id.fileSystemRevision = j.value("fileSystemRevision", id.fileSystemRevision);
    id.loaderBiosRevision = j.value("loaderBiosRevision", id.loaderBiosRevision);
    id.baudSetting = j.value("baudSetting", id.baudSetting);
    return id;
}

std::optional<Reply> SystemProcessor::handleBaud(std::string_view line) {
    if (line == "BDR?") return Reply::line(id_.baudSetting);
    const std::string setting(line.substr(3));
    if (setting.ends_with(",,,4")) {
        // Reset to the setting the old loaders understand: the rate, even parity, one stop bit.
        id_.baudSetting = setting.substr(0, setting.size() - 4) + ",2,1,0";
        compatibleBaud_ = true;
        return Reply::accepted();
    }
    // A new line setting takes effect at once; no answer comes back at the old rate.
    id_.baudSetting = setting;
    compatibleBaud_ = false;
    return Reply::none();
}

std::optional<Reply> SystemProcessor::handle(std::string_view line, Rack& rack) {
    if (!powered()) return Reply::none();
    if (line == "IDN?") return Reply::line(id_.identity);
    if (line == "HWR?") return Reply::line(id_.hardwareRevision);
    if (line == "SRB1") return Reply::accepted();
    if (line == "DCL") {
        rack.sleepInterpreter();
        return Reply::none();
    }
    if (line == "RST") {
        multiMaster_ = false;
        rack.reset();
        return Reply::none();
    }
    if (line.starts_with("BDR")) return handleBaud(line);
    if (line == "PRC10") {
        multiMaster_ = true;
        return Reply::accepted();
    }
    // Without a panel the bus is free already: switching the panel out or back in is done.
    if (!rack.panel() && (line == "PRC1,1" || line == "PRC1,4" || line == "PRC2,1")) return Reply::accepted();
    if (line == "PRC?11")
        return Reply::line(id_.loaderRevision.empty() ? id_.version : id_.loaderRevision);
    if (line == "PRC?311") return Reply::line(id_.kernelRevision);
    if (line == "PRC?312") return Reply::line(id_.fileSystemRevision);
    if (line == "PRC?313") return Reply::line(id_.loaderBiosRevision);
    return std::nullopt;
}

}  // namespace rack
