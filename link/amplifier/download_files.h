#pragma once
// Files of a download: the firmware file, and the temporary block images, which are deleted
// whenever the download ends, however it ends.
#include <cstdio>
#include <memory>
#include <string>

#include "link/images/temp_images.h"

namespace quorlink::amplifier {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

inline FileHandle openFirmware(const std::string& path) {
    return FileHandle(std::fopen(path.c_str(), "r"));
}

class TempImagesScope {
public:
    TempImagesScope() = default;
    ~TempImagesScope() { DeleteTempImages(); }
    TempImagesScope(const TempImagesScope&) = delete;
    TempImagesScope& operator=(const TempImagesScope&) = delete;
};

inline constexpr const char* kIntelHexError =
    "Error in Record-File! \nChecksum-Error, or File is not an Intel-HEX-Recordfile.";
inline constexpr const char* kMotorolaError =
    "Error in Record-File! \nChecksum-Error, or File is not a Motorola-S-Recordfile.";

}  // namespace quorlink::amplifier
