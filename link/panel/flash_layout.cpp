#include "link/panel/flash_layout.h"

namespace quorlink::panel {

namespace {

LayoutChoice large(std::string_view version) {
    return {FlashLayout::Large, !version.starts_with("30"), 0};
}

LayoutChoice small(bool loaderIUpdate) {
    return {FlashLayout::Small, false, loaderIUpdate ? -13 : 0};
}

LayoutChoice mismatch() { return {FlashLayout::Small, false, -2}; }

}  // namespace

char flashSizeDigit(std::string_view identity) {
    for (size_t i = 0; i + 1 < identity.size(); ++i) {
        if (identity[i] == 'P' && identity[i + 1] != ',') return identity[i + 1];
    }
    return '0';
}

LayoutChoice chooseFlashLayout(std::string_view identity, std::string_view version,
                               bool loaderIUpdate) {
    const char c = version.empty() ? '\0' : version.front();
    const bool newFirmware = c >= '3';
    const char d = identity.starts_with("?") ? '0' : flashSizeDigit(identity);
    if (d >= '3' && d <= '9') return newFirmware ? large(version) : mismatch();
    if (d == '1' || d == '2') return newFirmware ? mismatch() : small(loaderIUpdate);
    // Not identified: the version text alone decides.
    return newFirmware ? large(version) : small(loaderIUpdate);
}

}  // namespace quorlink::panel
