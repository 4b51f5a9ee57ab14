#pragma once
// Test firmware for the communication processors: KX33 raw images and KX43 firmware
// directories, each carrying its version as "VERSION=" + the version text ("P2.06").
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace fwgen {

// `size` bytes of seeded pseudo-random data with the version at byte 256.
std::vector<uint8_t> kx33Image(const std::string& version, size_t size, uint32_t seed = 1);

// The ten files of the full KX43 firmware, in download order.
const std::vector<std::string>& kx43FirmwareFiles();
// The same as the processor driver's file list: every name preceded by "#".
std::string kx43FileList(const std::vector<std::string>& names);
// The loader-1 file.
constexpr const char* kKx43LoaderFile = "kx43load.exe";

// Writes the full firmware and the loader-1 file into `directory` (created if missing). The
// application "kx43.exe" and the loader carry `version`; "kx43ini.cnf" opens with the factory
// interface settings.
void writeKx43Firmware(const std::filesystem::path& directory, const std::string& version,
                       uint32_t seed = 1);

// The function file of a KX43 firmware directory ("KX43.CFG", "KXxx.CFG" for a KX63): the
// firmware download for everybody and the loader-1 download, with its question, in service modes.
std::string kx43FunctionFile();
// The function file of a KX33 firmware directory ("KX33.CFG"): one entry writing `imageName`
// into blocks 0 to `blocks` - 1.
std::string kx33FunctionFile(const std::string& imageName, size_t blocks);

}  // namespace fwgen
