#include "panel_files.h"

#include <algorithm>

#include "hex_text.h"

namespace panel_testing {

std::vector<uint8_t> flatImage(const std::vector<fwgen::Segment>& segments, size_t size,
                               uint32_t base, uint8_t fill) {
    std::vector<uint8_t> image(size, fill);
    for (const auto& segment : segments) {
        for (size_t i = 0; i < segment.data.size(); ++i) {
            const int64_t at = int64_t(segment.address) - base + int64_t(i);
            if (at >= 0 && at < int64_t(size)) image[size_t(at)] = segment.data[i];
        }
    }
    return image;
}

std::string upperHex(const std::vector<uint8_t>& bytes, size_t from, size_t count) {
    return testing_support::upperHex({reinterpret_cast<const char*>(bytes.data()) + from, count});
}

int firstDifferentSector(const rack::panel::DvPanel& panel, const std::vector<uint8_t>& image,
                         int first, int last) {
    const auto& flash = panel.flash().bytes();
    const auto size = std::ptrdiff_t(panel.flash().sectorSize());
    for (int sector = first; sector <= last; ++sector) {
        const auto at = sector * size;
        if (!panel.flash().isLoaderISector(sector) &&
            !std::equal(flash.begin() + at, flash.begin() + at + size, image.begin() + at))
            return sector;
    }
    return -1;
}

}  // namespace panel_testing
