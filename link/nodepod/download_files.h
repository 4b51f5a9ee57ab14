#pragma once
// Files of one download: the firmware file opened for reading, and the temporary images that are
// closed and deleted on every way out of the download.
#include <cstdio>
#include <memory>
#include <string>

#include "link/images/temp_images.h"

namespace quorlink::nodepod {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FirmwareFile = std::unique_ptr<std::FILE, FileCloser>;

// nullptr when the path is missing or the file cannot be opened.
FirmwareFile openFirmwareFile(const char* path);

class TempImagesOfDownload {
  public:
    TempImagesOfDownload() = default;
    TempImagesOfDownload(const TempImagesOfDownload&) = delete;
    TempImagesOfDownload& operator=(const TempImagesOfDownload&) = delete;
    ~TempImagesOfDownload() { DeleteTempImages(); }
};

}  // namespace quorlink::nodepod
