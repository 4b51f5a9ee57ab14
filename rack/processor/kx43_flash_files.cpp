#include "rack/processor/kx43_flash_files.h"

namespace rack {

namespace {
constexpr size_t kLongestName = 64;
}

bool Kx43FlashFiles::open(std::string_view name) {
    if (!prepared_ || open_ || name.empty() || name.size() > kLongestName) return false;
    open_ = OpenFile{std::string(name), {}};
    return true;
}

bool Kx43FlashFiles::append(std::string_view bytes) {
    if (!open_) return false;
    open_->bytes += bytes;
    return true;
}

bool Kx43FlashFiles::close() {
    if (!open_) return false;
    files_[open_->name] = std::move(open_->bytes);
    open_.reset();
    return true;
}

const std::string* Kx43FlashFiles::find(std::string_view name) const {
    const auto found = files_.find(name);
    return found == files_.end() ? nullptr : &found->second;
}

}  // namespace rack
