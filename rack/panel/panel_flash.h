#pragma once
// The panel's flash: sectors of 256 or 512 bytes, the loader-I area write-protected unless
// loader II was told to open it.
#include <cstdint>
#include <string>
#include <vector>

namespace rack::panel {

class PanelFlash {
  public:
    PanelFlash(int sectorSize, int sectors);

    int sectorSize() const { return sectorSize_; }
    int sectors() const { return sectors_; }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t>& bytes() { return bytes_; }

    // The loader-I sectors (large flash: 1021-1023; the small flash has none to write).
    bool isLoaderISector(int sector) const;
    // Writes a whole sector; false (nothing written) for a protected loader-I sector.
    bool writeSector(int sector, const std::vector<uint8_t>& data, bool loaderIOpen);

    // The version text of the application in flash ("P4.10"), or "P0.00" when there is none.
    std::string applicationVersion() const;
    bool holdsApplication() const { return applicationVersion() != "P0.00"; }
    void writeIdentity(const std::string& version);

  private:
    int sectorSize_;
    int sectors_;
    std::vector<uint8_t> bytes_;
};

}  // namespace rack::panel
