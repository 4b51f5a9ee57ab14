#include "link/nodepod/download_files.h"

namespace quorlink::nodepod {

FirmwareFile openFirmwareFile(const char* path) {
    if (!path || !*path) return nullptr;
    return FirmwareFile(std::fopen(path, "r"));
}

}  // namespace quorlink::nodepod
