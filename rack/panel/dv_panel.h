#pragma once
// The display and control panel (DV33A, DV43A, DV13): its application with identity and bus
// switching, loader I at 19,200 baud, loader II received into RAM and programming the flash
// sector by sector, the application start and its activation after the restart. With the
// bootstrap jumper set it is the controller's bootstrap instead, reached directly on the serial
// line or through the KX43's "SYS TRANSF" pass-through.
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "rack/core/component.h"
#include "rack/panel/c167_bootstrap.h"
#include "rack/panel/panel_flash.h"

namespace rack::panel {

struct PanelConfig {
    std::string kind = "DV43A";
    bool largeFlash = true;
    std::string version = "P4.10";  // firmware in flash at start; "" = empty flash
    std::string hardwareRevision = "1.00";
    std::string serialNumber = "0012345";
    bool bootstrap = false;    // jumper: the controller starts its on-chip bootstrap
    bool passThrough = false;  // the KX43 offers "SYS TRANSF"
    BootstrapSettings bootstrapSettings;

    static PanelConfig fromJson(const nlohmann::json& j);
};

class DvPanel final : public Component {
  public:
    enum class Layer { Application, LoaderI, LoaderII };

    explicit DvPanel(PanelConfig config);

    std::string name() const override { return config_.kind; }
    std::optional<Reply> handle(std::string_view line, Rack& rack) override;
    // The KX43's "SYS TRANSF" (handed through to the panel) ends with LF alone.
    Framing framing(std::string_view line) const override;
    void rawBytes(std::string_view bytes, Rack& rack) override;
    void breakCondition(bool on, Rack& rack) override;
    void rackReset(Rack& rack) override;
    void attached(Rack& rack) override;

    // -- inspection
    Layer layer() const { return layer_; }
    const PanelFlash& flash() const { return flash_; }
    PanelFlash& flash() { return flash_; }
    int portBaud() const { return portBaud_; }
    bool activated() const { return activated_; }
    bool switchedOut() const { return switchedOut_; }
    int passThroughBaud() const { return passThroughBaud_; }
    const C167Bootstrap& bootstrap() const { return *bootstrap_; }
    std::string identity() const;

  private:
    std::optional<Reply> handleLoaderI(const std::string& command, std::string_view line);
    std::optional<Reply> handleLoaderII(const std::string& command, std::string_view line);
    std::optional<Reply> handlePassThrough(std::string_view line, Rack& rack);
    Reply loadPiece(std::string_view hex);
    Reply startLoaderII();
    Reply sectorPiece(char piece, std::string_view rest);
    Reply startApplication();

    PanelConfig config_;
    PanelFlash flash_;
    std::unique_ptr<C167Bootstrap> bootstrap_;
    Layer layer_ = Layer::Application;
    int portBaud_ = 9600;
    bool switchedOut_ = false;
    bool applicationStarted_ = false;  // by loader II; waits for "PRC2,4"
    bool activated_ = true;
    // loader I
    std::vector<uint8_t> ram_;
    bool addressed_ = false;
    // loader II
    int loaderIISectorSize_ = 0;
    bool loaderIOpen_ = false;
    int sector_ = -1;
    std::vector<uint8_t> sectorData_;
    unsigned piecesReceived_ = 0;
    // bootstrap
    bool inBreak_ = false;
    bool passingThrough_ = false;
    int passThroughBaud_ = 0;
};

}  // namespace rack::panel
