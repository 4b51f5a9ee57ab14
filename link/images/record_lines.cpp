#include "link/images/record_lines.h"

#include <cstring>

namespace quorlink {

RecordLines::RecordLines(std::FILE* file, size_t limit)
    : file_(file), maximumText_(limit - 2), chunk_(limit + 2) {}

RecordLines::Result RecordLines::next(std::string& line) {
    line.clear();
    bool ended = false;
    while (!ended && line.size() <= maximumText_ + 2) {
        if (!std::fgets(chunk_.data(), static_cast<int>(chunk_.size()), file_)) break;
        const size_t length = std::strlen(chunk_.data());
        ended = length > 0 && chunk_[length - 1] == '\n';
        line.append(chunk_.data(), length);
    }
    if (line.empty() && !ended) return Result::End;
    if (ended) line.pop_back();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line.size() > maximumText_ ? Result::TooLong : Result::Line;
}

}  // namespace quorlink
