#include "link/processor/partial_file.h"

namespace quorlink::processor {

PartialFile::PartialFile(std::filesystem::path target)
    : target_(std::move(target)),
      temporary_(target_.string() + ".part"),
      out_(temporary_, std::ios::binary | std::ios::trunc) {}

PartialFile::~PartialFile() {
    if (committed_) return;
    out_.close();
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
}

bool PartialFile::commit() {
    out_.close();
    std::error_code error;
    if (!out_.fail()) std::filesystem::rename(temporary_, target_, error);
    if (out_.fail() || error) {
        std::filesystem::remove(temporary_, error);
        return false;
    }
    committed_ = true;
    return true;
}

}  // namespace quorlink::processor
