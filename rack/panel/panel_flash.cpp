#include "rack/panel/panel_flash.h"

#include <algorithm>
#include <cctype>
#include <cstddef>

#include "rack/panel/panel_identity.h"

namespace rack::panel {

namespace {

constexpr int kFirstLoaderISector = 1021;
constexpr int kLastLoaderISector = 1023;

bool looksLikeVersion(std::string_view text) {
    return text.size() == kVersionLength && text[0] == 'P' && std::isdigit(text[1]) &&
           text[2] == '.' && std::isdigit(text[3]) && std::isdigit(text[4]);
}

}  // namespace

PanelFlash::PanelFlash(int sectorSize, int sectors)
    : sectorSize_(sectorSize),
      sectors_(sectors),
      bytes_(static_cast<size_t>(sectorSize) * static_cast<size_t>(sectors), 0xFF) {}

bool PanelFlash::isLoaderISector(int sector) const {
    return sectorSize_ == 512 && sector >= kFirstLoaderISector && sector <= kLastLoaderISector;
}

bool PanelFlash::writeSector(int sector, const std::vector<uint8_t>& data, bool loaderIOpen) {
    if (sector < 0 || sector >= sectors_ || data.size() != static_cast<size_t>(sectorSize_))
        return false;
    if (isLoaderISector(sector) && !loaderIOpen) return false;
    std::copy(data.begin(), data.end(),
              bytes_.begin() + static_cast<std::ptrdiff_t>(sector) * sectorSize_);
    return true;
}

std::string PanelFlash::applicationVersion() const {
    const auto start = bytes_.begin() + static_cast<std::ptrdiff_t>(kIdentityAddress);
    const std::string marker(start, start + static_cast<std::ptrdiff_t>(kIdentityMarker.size()));
    const auto versionStart = start + static_cast<std::ptrdiff_t>(kIdentityMarker.size());
    const std::string version(versionStart,
                              versionStart + static_cast<std::ptrdiff_t>(kVersionLength));
    return marker == kIdentityMarker && looksLikeVersion(version) ? version : "P0.00";
}

void PanelFlash::writeIdentity(const std::string& version) {
    const std::string text = std::string(kIdentityMarker) + version;
    std::copy(text.begin(), text.end(),
              bytes_.begin() + static_cast<std::ptrdiff_t>(kIdentityAddress));
}

}  // namespace rack::panel
