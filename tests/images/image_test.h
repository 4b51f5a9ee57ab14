#pragma once
// Fixture for the image readers: a private $TMPDIR, firmware files written from text, and the
// image a converter should produce computed independently from the segments.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "scoped_env.h"
#include "temp_dir.h"
#include "tools/fwgen/fwgen.h"

namespace images_test {

class ImageTest : public ::testing::Test {
  protected:
    ImageTest();
    ~ImageTest() override;

    // Writes `text` into a file of the private directory and opens it "rt" (closed at the end).
    std::FILE* firmware(const std::string& text);
    std::string firmwarePath(const std::string& name, const std::string& text);
    // A temporary image from the registry.
    std::FILE* image();
    // Files left in the private directory (firmware files excluded).
    std::vector<std::string> leftoverTempFiles() const;

    testing_support::TempDir scratch;
    const testing_support::ScopedEnv tmpdir{"TMPDIR", scratch.path().string()};
    const std::filesystem::path& dir = scratch.path();

  private:
    std::vector<std::FILE*> opened_;
};

std::vector<uint8_t> contents(std::FILE* file);
std::vector<uint8_t> randomBytes(size_t size, uint32_t seed);
uint8_t byteSum(const std::vector<uint8_t>& bytes, size_t begin, size_t size);
// The byte sum of each of the `blocks` blocks, and the first `count` entries of a check table.
std::vector<uint8_t> blockSums(const std::vector<uint8_t>& bytes, size_t blocks, size_t blockSize);
template <typename Table>
std::vector<uint8_t> firstEntries(const Table& table, size_t count) {
    return {table.begin(), table.begin() + static_cast<std::ptrdiff_t>(count)};
}

// The image the segments give: `blocks * blockSize` fill bytes, each data byte at
// address + shift when that lies inside.
std::vector<uint8_t> expectedImage(const std::vector<fwgen::Segment>& segments, size_t blocks,
                                   size_t blockSize, uint8_t fill, int64_t shift);

}  // namespace images_test
