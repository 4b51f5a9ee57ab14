#include "link/images/block_image.h"

#include <numeric>

namespace quorlink {

BlockImage::BlockImage(int64_t blocks, int64_t blockSize, uint8_t fill)
    : blockSize_(blockSize), bytes_(static_cast<size_t>(blocks * blockSize), fill) {}

size_t BlockImage::write(int64_t position, const std::vector<uint8_t>& bytes) {
    const int64_t first = std::max<int64_t>(position, 0);
    const int64_t last = std::min<int64_t>(position + static_cast<int64_t>(bytes.size()), size());
    if (first >= last) return 0;
    std::copy(bytes.begin() + (first - position), bytes.begin() + (last - position),
              bytes_.begin() + first);
    return static_cast<size_t>(last - first);
}

uint8_t BlockImage::blockSum(int64_t block) const {
    const auto begin = bytes_.begin() + block * blockSize_;
    return static_cast<uint8_t>(std::accumulate(begin, begin + blockSize_, 0u) & 0xFF);
}

bool BlockImage::saveTo(std::FILE* file) const {
    std::rewind(file);
    // an empty image may have no buffer, and fwrite takes no null pointer even for no bytes
    const bool written =
        bytes_.empty() || std::fwrite(bytes_.data(), 1, bytes_.size(), file) == bytes_.size();
    return written && std::fflush(file) == 0;
}

}  // namespace quorlink
