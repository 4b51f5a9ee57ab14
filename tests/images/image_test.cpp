#include "image_test.h"

#include <fstream>
#include <numeric>
#include <random>

#include "link/images/temp_images.h"

namespace images_test {

namespace fs = std::filesystem;

ImageTest::ImageTest() { fs::create_directory(dir / "firmware"); }

ImageTest::~ImageTest() {
    quorlink::DeleteTempImages();
    for (std::FILE* file : opened_) std::fclose(file);
}

std::string ImageTest::firmwarePath(const std::string& name, const std::string& text) {
    const fs::path path = dir / "firmware" / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

std::FILE* ImageTest::firmware(const std::string& text) {
    std::FILE* file =
        std::fopen(firmwarePath("firmware" + std::to_string(opened_.size()), text).c_str(), "rt");
    opened_.push_back(file);
    return file;
}

std::FILE* ImageTest::image() {
    std::FILE* file = quorlink::CreateTempImage();
    EXPECT_NE(file, nullptr);
    return file;
}

std::vector<std::string> ImageTest::leftoverTempFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename() != "firmware") names.push_back(entry.path().filename());
    return names;
}

std::vector<uint8_t> contents(std::FILE* file) {
    std::fflush(file);
    std::fseek(file, 0, SEEK_END);
    std::vector<uint8_t> bytes(static_cast<size_t>(std::ftell(file)));
    std::rewind(file);
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
    return bytes;
}

std::vector<uint8_t> randomBytes(size_t size, uint32_t seed) {
    std::minstd_rand generator(seed);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(generator());
    return bytes;
}

uint8_t byteSum(const std::vector<uint8_t>& bytes, size_t begin, size_t size) {
    unsigned sum = 0;
    for (size_t i = begin; i < begin + size; ++i) sum += bytes.at(i);
    return static_cast<uint8_t>(sum);
}

std::vector<uint8_t> blockSums(const std::vector<uint8_t>& bytes, size_t blocks, size_t blockSize) {
    std::vector<uint8_t> sums;
    for (size_t block = 0; block < blocks; ++block)
        sums.push_back(byteSum(bytes, block * blockSize, blockSize));
    return sums;
}

std::vector<uint8_t> expectedImage(const std::vector<fwgen::Segment>& segments, size_t blocks,
                                   size_t blockSize, uint8_t fill, int64_t shift) {
    std::vector<uint8_t> image(blocks * blockSize, fill);
    for (const auto& segment : segments)
        for (size_t i = 0; i < segment.data.size(); ++i) {
            const int64_t position = int64_t{segment.address} + static_cast<int64_t>(i) + shift;
            if (position >= 0 && position < static_cast<int64_t>(image.size()))
                image[static_cast<size_t>(position)] = segment.data[i];
        }
    return image;
}

}  // namespace images_test
