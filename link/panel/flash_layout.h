#pragma once
// The panel's flash layout, decided from its identity ("DID?") and the firmware's version text.
#include <string_view>

namespace quorlink::panel {

enum class FlashLayout { Small, Large };  // 256-byte or 512-byte sectors

struct LayoutChoice {
    FlashLayout layout = FlashLayout::Small;
    bool skipEmptyPieces = false;  // large layout: all-zero pieces go without their data
    int result = 0;                // 0, -2 flash-size mismatch, -13 loader I on the small layout
};

// The flash-size digit of an identity: the character after the first "P" not followed by ",";
// '0' when the answer has none.
char flashSizeDigit(std::string_view identity);

LayoutChoice chooseFlashLayout(std::string_view identity, std::string_view version,
                               bool loaderIUpdate);

}  // namespace quorlink::panel
