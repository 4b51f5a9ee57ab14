#pragma once
// Scratch files for the fuzz targets: the input bytes as a file, and an image to convert into.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzz {

// One anonymous file reused for every run; holds exactly the last bytes written.
class ScratchFile {
  public:
    ScratchFile() : file_(std::tmpfile()) {
        if (!file_) std::abort();
    }
    ~ScratchFile() { std::fclose(file_); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    std::FILE* holding(const std::vector<uint8_t>& bytes) {
        std::fflush(file_);
        if (ftruncate(fileno(file_), 0) != 0) std::abort();
        std::rewind(file_);
        // an empty vector may hold no buffer at all, and fwrite takes no null pointer
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
            std::abort();
        std::fflush(file_);
        std::rewind(file_);
        return file_;
    }
    std::FILE* empty() { return holding({}); }

    int64_t size() {
        std::fflush(file_);
        std::fseek(file_, 0, SEEK_END);
        return std::ftell(file_);
    }

  private:
    std::FILE* file_;
};

// A named file for readers that open a path themselves.
class ScratchPath {
  public:
    ScratchPath() {
        path_ = (std::getenv("TMPDIR") ? std::string(std::getenv("TMPDIR")) : "/tmp") +
                "/fuzz_hexXXXXXX";
        const int fd = mkstemp(path_.data());
        if (fd < 0) std::abort();
        close(fd);
    }
    ~ScratchPath() { std::remove(path_.c_str()); }
    ScratchPath(const ScratchPath&) = delete;
    ScratchPath& operator=(const ScratchPath&) = delete;

    const std::string& holding(const std::vector<uint8_t>& bytes) {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        if (!file) std::abort();
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return path_;
    }

  private:
    std::string path_;
};

}  // namespace fuzz
