#include "link/nodepod/image_kinds.h"

namespace quorlink::nodepod {

namespace {

std::vector<int> downFrom(int highest, int lowest) {
    std::vector<int> banks;
    for (int bank = highest; bank >= lowest; --bank) banks.push_back(bank);
    return banks;
}

bool newHardware(int32_t hardwareCode) { return hardwareCode >= 3; }

}  // namespace

std::optional<ImageKind> imageKindFromCode(int32_t code) {
    if (code < 0 || code > 3) return std::nullopt;
    return static_cast<ImageKind>(code);
}

AddressWindow addressWindow(ImageKind kind) {
    switch (kind) {
        case ImageKind::ApplicationAndLoader1:
            return {0xC0000, 0xFFFFF};
        case ImageKind::Loader1:
            return {0xFA000, 0xFFFFF};
        case ImageKind::Application:
        case ImageKind::RestartVector:
            break;
    }
    return {0xC0000, 0xF9FFF};
}

std::vector<int> banksToErase(ImageKind kind, int32_t hardwareCode) {
    const int offset = newHardware(hardwareCode) ? 2 : 0;
    switch (kind) {
        case ImageKind::Application:
            return downFrom(6 + offset, 2 + offset);
        case ImageKind::ApplicationAndLoader1:
            return downFrom(6 + offset, 0);
        case ImageKind::Loader1:
            return downFrom(1 + offset, 0);
        case ImageKind::RestartVector:
            break;
    }
    return {};
}

UnitRange unitsToSend(ImageKind kind, int64_t lowest, int64_t highestEnd) {
    constexpr int64_t unitsPerGroup = kGroupSize / kUnitSize;
    const int64_t first = lowest / kUnitSize;
    const int64_t groupsToEnd = (highestEnd + 1 + kGroupSize - 1) / kGroupSize;
    const int64_t last = groupsToEnd * unitsPerGroup;
    switch (kind) {
        case ImageKind::Application:
            return {first, last - unitsPerGroup};
        case ImageKind::RestartVector:
            return {last - unitsPerGroup, last};
        case ImageKind::ApplicationAndLoader1:
        case ImageKind::Loader1:
            break;
    }
    return {first, last};
}

}  // namespace quorlink::nodepod
