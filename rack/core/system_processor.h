#pragma once
// The communication processor's rack-level interpreter commands: identity, hardware revision,
// "SRB1", "DCL", "RST", the interface baud rate, multi-master mode and the revision queries.
// Processor models with loaders derive from it and add their own commands.
#include <nlohmann/json.hpp>
#include <string>

#include "rack/core/component.h"

namespace rack {

struct ProcessorIdentity {
    std::string kind = "KX43";
    std::string identity = "QTX,KX43,0,P1.41";
    std::string hardwareRevision = "\"A01\"";
    std::string version = "P1.41";
    // The boot loader's revision, the answer to "PRC?11"; empty: the firmware version.
    std::string loaderRevision;
    std::string kernelRevision = "2.40";
    std::string fileSystemRevision = "1.12";
    std::string loaderBiosRevision = "1.05";
    std::string baudSetting = "9600,2,1,0";  // answer to "BDR?"

    static ProcessorIdentity fromJson(const nlohmann::json& j);
};

class SystemProcessor : public Component {
  public:
    explicit SystemProcessor(ProcessorIdentity identity) : id_(std::move(identity)) {}
    std::string name() const override { return id_.kind; }
    std::optional<Reply> handle(std::string_view line, Rack& rack) override;

    ProcessorIdentity& identity() { return id_; }
    bool multiMaster() const { return multiMaster_; }
    // True after "BDR<rate>,,,4": the interface talks as the old loaders expect.
    bool compatibleBaud() const { return compatibleBaud_; }

  protected:
    std::optional<Reply> handleBaud(std::string_view line);
    ProcessorIdentity id_;

  private:
    bool multiMaster_ = false;
    bool compatibleBaud_ = false;
};

}  // namespace rack
