#pragma once
// The simulated KX43-family processor: a running application with its settings, and a boot
// loader that writes the flash file system and starts new firmware from it. The older
// generation (KX43, KX43A, KX43B, KX43-B) takes its interface settings from the initialisation
// file at start; the newer one (KX63) keeps them and unpacks its application silently.
#include <memory>
#include <string>

#include "rack/core/system_processor.h"
#include "rack/processor/kx43_flash_files.h"
#include "rack/processor/kx43_settings_model.h"
#include "rack/processor/restart_window.h"

namespace rack {

enum class Kx43Generation { Older, Newer };

struct Kx43Timing {
    int restartMs = 4000;     // from a restart command until the interpreter answers again
    int prepareMs = 300;      // "PRC9,7"
    int uncompressMs = 2000;  // the newer generation unpacking its application
};

class Kx43Board final : public SystemProcessor {
  public:
    static constexpr const char* kInitialisationFile = "kx43ini.cnf";

    Kx43Board(ProcessorIdentity identity, Kx43Generation generation, Kx43Timing timing,
              Kx43Settings settings);
    static std::unique_ptr<Kx43Board> fromJson(const nlohmann::json& config);

    std::optional<Reply> handle(std::string_view line, Rack& rack) override;
    // The loader commands end with LF alone; the application's interpreter takes either end.
    Framing framing(std::string_view line) const override;
    void rackReset(Rack& rack) override;

    bool inBootLoader() const { return bootLoader_; }
    bool activated() const { return activated_; }
    Kx43Settings& settings() { return settings_; }
    const Kx43FlashFiles& flashFiles() const { return files_; }
    Kx43FlashFiles& flashFiles() { return files_; }

  private:
    std::optional<Reply> applicationCommand(std::string_view line, Rack& rack);
    std::optional<Reply> bootLoaderCommand(std::string_view line, Rack& rack);
    Reply writeData(std::string_view line);
    Reply runNewApplication(Rack& rack);
    void restartInto(bool bootLoader, Rack& rack, int extraMs = 0);
    // Starts the application in flash; stays in the boot loader when there is none.
    void startApplication();

    Kx43Generation generation_;
    Kx43Timing timing_;
    Kx43Settings settings_;
    Kx43FlashFiles files_;
    RestartWindow restart_;
    std::string applicationFile_ = "kx43.exe";
    // What the boot loader answers to "IDN?"; empty: the application's identity.
    std::string bootLoaderIdentity_;
    bool bootLoader_ = false;
    bool activated_ = true;     // power-on starts the application, not the boot loader
    bool osRestarted_ = false;  // the boot loader's system was restarted on the new files
};

}  // namespace rack
