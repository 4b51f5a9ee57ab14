// The bootstrap tool's Intel HEX readers: firmware into its flat image, and its small bootstrap
// programs as plain byte sequences.
#include "link/images/strapper_hex.h"

#include <memory>

#include "link/images/file_offsets.h"
#include "link/images/hex_fields.h"
#include "link/images/record_checksums.h"
#include "link/images/record_lines.h"

namespace quorlink {

namespace {

constexpr size_t kStrapperLineLimit = 254;
constexpr size_t kStrapperTypePosition = 8;
constexpr size_t kStrapperDataPosition = 9;

char typeOf(const std::string& line) {
    return line.size() > kStrapperTypePosition ? line[kStrapperTypePosition] : '\0';
}

// Reports the share of the HEX file read whenever the percentage changes.
class ProgressReport {
  public:
    ProgressReport(std::FILE* file, const std::function<void(int)>& progress)
        : file_(file), size_(FileSize(file)), progress_(progress) {}

    void update(bool always = false) {
        if (!progress_ || size_ <= 0) return;
        const int percent = static_cast<int>(positionOf(file_) * 100 / size_);
        if (percent != last_ || always) progress_(percent);
        last_ = percent;
    }

  private:
    std::FILE* file_;
    int64_t size_;
    const std::function<void(int)>& progress_;
    int last_ = -1;
};

// The end of the HEX file: the last progress report and the image flushed.
int finishCopy(std::FILE* image, ProgressReport& report) {
    report.update(true);
    return std::fflush(image) == 0 ? 0 : kStrapperFileError;
}

// Writes one data record at base + its address, all bytes below `imageLimit`.
int copyDataRecord(const std::string& line, int64_t base, std::FILE* image, int64_t imageLimit) {
    const auto count = hexField(line, 1, 1);
    const auto address = hexField(line, 3, 2);
    std::vector<uint8_t> bytes;
    if (!count || !address || !hexBytes(line, kStrapperDataPosition, *count, bytes))
        return kStrapperFileError;
    const int64_t position = base + *address;
    if (position + *count > imageLimit) return kStrapperFileError;
    if (positionOf(image) != position && !seekTo(image, position)) return kStrapperFileError;
    // a record without data bytes writes nothing (and fwrite takes no null pointer)
    if (bytes.empty()) return 0;
    return std::fwrite(bytes.data(), 1, bytes.size(), image) == bytes.size() ? 0
                                                                             : kStrapperFileError;
}

// The new base of an extended segment (2) or linear (4) address record.
std::optional<int64_t> baseOf(const std::string& line, char type) {
    const auto value = hexField(line, kStrapperDataPosition, 2);
    if (!value) return std::nullopt;
    return type == '2' ? *value * 16 : *value * 65536;
}

}  // namespace

int CopyHexToImage(std::FILE* hex, std::FILE* image, const std::function<void(int)>& progress,
                   int64_t imageLimit) {
    if (!hex || !image || !seekTo(hex, 0) || !seekTo(image, 0)) return kStrapperFileError;
    ProgressReport report(hex, progress);
    RecordLines lines(hex, kStrapperLineLimit);
    std::string line;
    int64_t base = 0;
    while (lines.next(line) == RecordLines::Result::Line) {
        report.update();
        const char type = typeOf(line);
        if (type > '5') return kStrapperFileError;
        if (!line.starts_with(":")) return finishCopy(image, report);
        if (type < '0' || !intelHexChecksumValid(line)) return kStrapperFileError;
        if (type == '1') return finishCopy(image, report);
        if (type == '0') {
            if (copyDataRecord(line, base, image, imageLimit) != 0) return kStrapperFileError;
        } else if (type == '2' || type == '4') {
            const auto newBase = baseOf(line, type);
            if (!newBase) return kStrapperFileError;
            base = *newBase;
        }
    }
    return kStrapperFileError;  // out of lines before the end, or a line too long
}

int ReadHexBytes(std::vector<uint8_t>& bytes, const std::string& path, size_t maximum) {
    bytes.clear();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) return kStrapperFileError;
    RecordLines lines(file.get(), kStrapperLineLimit);
    std::string line;
    std::vector<uint8_t> record;
    while (lines.next(line) == RecordLines::Result::Line) {
        if (!line.starts_with(":")) return 0;
        if (!intelHexChecksumValid(line)) break;
        if (typeOf(line) == '1') return 0;
        if (typeOf(line) != '0') continue;
        const auto count = hexField(line, 1, 1);
        if (!count || !hexBytes(line, kStrapperDataPosition, *count, record) ||
            bytes.size() + record.size() > maximum)
            break;
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    bytes.clear();
    return kStrapperFileError;
}

int64_t FileSize(std::FILE* file) {
    if (!file) return -1;
    const int64_t position = positionOf(file);
    if (position < 0 || !seekTo(file, 0, SEEK_END)) return -1;
    const int64_t size = positionOf(file);
    return seekTo(file, position) ? size : -1;
}

int ClearImage(std::FILE* image, int64_t size) {
    if (!image || size < 0 || !seekTo(image, 0)) return kStrapperFileError;
    const std::vector<uint8_t> zeros(64 * 1024, 0);
    for (int64_t left = size; left > 0;) {
        const size_t chunk = static_cast<size_t>(std::min<int64_t>(left, zeros.size()));
        if (std::fwrite(zeros.data(), 1, chunk, image) != chunk) return kStrapperFileError;
        left -= static_cast<int64_t>(chunk);
    }
    return std::fflush(image) == 0 ? 0 : kStrapperFileError;
}

}  // namespace quorlink
