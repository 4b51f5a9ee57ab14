#pragma once
// Whether a firmware file can be loaded at all, decided before anything is sent: it exists, it
// can be read, and the library's image readers accept it (S-record or Intel HEX, every record's
// checksum right, data in it). The same readers convert it during the download, so a file they
// accept here is not refused halfway through a download.
#include <QString>

namespace quorvel {

// Empty when `path` can be loaded; otherwise why not, as a sentence naming the file.
QString FirmwareFileProblem(const QString& path);

}  // namespace quorvel
