#include "link/amplifier/output_file.h"

#include <filesystem>
#include <system_error>

namespace quorlink::amplifier {

OutputFile::OutputFile(std::string path) : path_(std::move(path)), partPath_(path_ + ".part") {
    file_ = std::fopen(partPath_.c_str(), "wb");
}

OutputFile::~OutputFile() { discard(); }

bool OutputFile::write(std::string_view bytes) {
    if (!file_) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) return false;
    written_ += bytes.size();
    return true;
}

bool OutputFile::commit() {
    if (!file_) return false;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    std::error_code error;
    if (closed) std::filesystem::rename(partPath_, path_, error);
    if (!closed || error) {
        std::filesystem::remove(partPath_, error);
        return false;
    }
    return true;
}

void OutputFile::discard() {
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
    std::error_code error;
    std::filesystem::remove(partPath_, error);
}

}  // namespace quorlink::amplifier
