#pragma once
// The four kinds of NodePod image: which addresses of the file they take, which flash banks
// they erase on old and new hardware, and which 256-byte groups of the image they send.
#include <cstdint>
#include <optional>
#include <vector>

namespace quorlink::nodepod {

enum class ImageKind : int32_t {
    Application = 0,
    ApplicationAndLoader1 = 1,
    RestartVector = 2,
    Loader1 = 3,
};

struct AddressWindow {
    int64_t low = 0;
    int64_t high = 0;
};

// 128-byte units [start, end) of the image that are sent, counted from address 0.
struct UnitRange {
    int64_t start = 0;
    int64_t end = 0;
};

constexpr int kUnitSize = 128;
constexpr int kGroupSize = 256;
constexpr int kPacketSize = 64;

std::optional<ImageKind> imageKindFromCode(int32_t code);
AddressWindow addressWindow(ImageKind kind);
// Banks to erase, highest first; hardware codes below 3 have the smaller bank layout.
std::vector<int> banksToErase(ImageKind kind, int32_t hardwareCode);
// The units of the file's range [lowest, highestEnd] that this kind sends. The end is taken up to
// a whole 256-byte group so that a file whose data ends inside a group is written completely.
UnitRange unitsToSend(ImageKind kind, int64_t lowest, int64_t highestEnd);

}  // namespace quorlink::nodepod
