#include "rack/nodepod/nodepod_firmware.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace nodepod_firmware {

namespace {

constexpr size_t kLoader2HeaderSize = 64;

void putText(std::vector<uint8_t>& bytes, size_t at, const std::string& text, size_t room) {
    const size_t count = std::min(text.size(), room - 1);
    std::copy_n(text.begin(), count, bytes.begin() + static_cast<std::ptrdiff_t>(at));
    std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(at + count), room - count, 0);
}

void put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t get32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
           uint32_t{bytes[3]} << 24;
}

std::string getText(const uint8_t* bytes, size_t room) {
    const auto* end = std::find(bytes, bytes + room, uint8_t{0});
    return std::string(bytes, end);
}

bool hasMagic(const uint8_t* bytes, size_t size, const char* magic) {
    return size >= 4 && std::memcmp(bytes, magic, 4) == 0;
}

// Code bytes that differ per version, with a few erased stretches like real linker output.
std::vector<uint8_t> codeBytes(const std::string& seedText, size_t size) {
    uint32_t state = 2166136261u;
    for (const char c : seedText) state = (state ^ static_cast<uint8_t>(c)) * 16777619u;
    std::vector<uint8_t> code(size);
    for (size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        code[i] = (i / 512) % 5 == 3 ? 0xFF : static_cast<uint8_t>(state >> 16);
    }
    return code;
}

}  // namespace

Hardware hardwareOfRevision(const std::string& revision) {
    return std::atof(revision.c_str()) >= 3.0 ? Hardware::New : Hardware::Old;
}

std::vector<Segment> buildApplication(const ApplicationInfo& info) {
    std::vector<uint8_t> header(64, 0);
    std::memcpy(header.data(), kApplicationMagic, 4);
    put32(header, 4, info.entry);
    header[8] = static_cast<uint8_t>(info.typeNumber);
    header[9] = static_cast<uint8_t>(info.typeNumber >> 8);
    putText(header, 16, info.name, 32);
    putText(header, 48, info.version, 16);
    std::vector<uint8_t> image = header;
    const auto code = codeBytes(info.name + info.version, info.codeSize);
    image.insert(image.end(), code.begin(), code.end());
    std::vector<uint8_t> restart(256, 0xFF);
    std::memcpy(restart.data(), kRestartMagic, 4);
    put32(restart, 4, info.entry);
    return {{kFlashStart, image}, {kRestartVector, restart}};
}

std::vector<Segment> buildLoader1(const LoaderInfo& info) {
    std::vector<uint8_t> image(0x800, 0);
    std::memcpy(image.data(), kLoader1Magic, 4);
    image[4] = 0xE9;  // entry: a jump into the loader's code
    image[5] = 0x40;
    image[6] = static_cast<uint8_t>(info.hardware);
    putText(image, 8, info.version, 16);
    const auto code = codeBytes("loader1" + info.version, image.size() - 64);
    std::copy(code.begin(), code.end(), image.begin() + 64);
    std::vector<uint8_t> vectors(256);
    for (size_t i = 0; i < vectors.size(); ++i) vectors[i] = static_cast<uint8_t>(i * 7 + 1);
    return {{kLoader1Start, image}, {kFlashEnd + 1 - 256, vectors}};
}

std::vector<Segment> buildLoader2(const LoaderInfo& info) {
    const uint32_t address =
        info.hardware == Hardware::New ? kNewLoader2Address : kOldLoader2Address;
    std::vector<uint8_t> image(kLoader2HeaderSize, 0);
    std::memcpy(image.data(), kLoader2Magic, 4);
    image[4] = static_cast<uint8_t>(info.hardware);
    putText(image, 8, info.version, 16);
    const auto code = codeBytes("loader2" + info.version, 0x1400);
    image.insert(image.end(), code.begin(), code.end());
    uint32_t sum = 0;
    for (size_t i = kLoader2HeaderSize; i < image.size(); ++i) sum += image[i];
    put32(image, 24, address);
    put32(image, 28, static_cast<uint32_t>(image.size()));
    put32(image, 32, sum);
    return {{address, image}};
}

ApplicationHeader readApplicationHeader(const uint8_t* bytes, size_t size) {
    ApplicationHeader header;
    if (size < 64 || !hasMagic(bytes, size, kApplicationMagic)) return header;
    header.valid = true;
    header.entry = get32(bytes + 4);
    header.typeNumber = static_cast<uint16_t>(bytes[8] | bytes[9] << 8);
    header.name = getText(bytes + 16, 32);
    header.version = getText(bytes + 48, 16);
    return header;
}

uint32_t readRestartEntry(const uint8_t* bytes, size_t size) {
    if (size < 8 || !hasMagic(bytes, size, kRestartMagic)) return 0;
    return get32(bytes + 4);
}

std::string readLoader1Version(const uint8_t* bytes, size_t size) {
    if (size < 24 || !hasMagic(bytes, size, kLoader1Magic)) return {};
    return getText(bytes + 8, 16);
}

Loader2Header readLoader2(const uint8_t* bytes, size_t size) {
    Loader2Header header;
    if (size < kLoader2HeaderSize || !hasMagic(bytes, size, kLoader2Magic)) return header;
    const uint32_t length = get32(bytes + 28);
    if (length < kLoader2HeaderSize || length > size) return header;
    uint32_t sum = 0;
    for (size_t i = kLoader2HeaderSize; i < length; ++i) sum += bytes[i];
    if (sum != get32(bytes + 32)) return header;
    header.valid = true;
    header.hardware = static_cast<Hardware>(bytes[4]);
    header.linkAddress = get32(bytes + 24);
    header.version = getText(bytes + 8, 16);
    return header;
}

}  // namespace nodepod_firmware
