#pragma once
// Files for the panel tests: a scratch folder, flat images of test firmware, hex text.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/fwgen/fwgen.h"

namespace panel_testing {

// A fresh folder, removed with everything in it.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// The bytes the segments give in an image of `size` bytes where address `base` is byte 0.
std::vector<uint8_t> flatImage(const std::vector<fwgen::Segment>& segments, size_t size,
                               uint32_t base = 0, uint8_t fill = 0);
std::string upperHex(const std::vector<uint8_t>& bytes, size_t from, size_t count);
void writeText(const std::string& path, const std::string& text);
std::string readText(const std::string& path);

}  // namespace panel_testing
