#include "tools/fwgen/processor_firmware.h"

#include <random>

#include "tools/fwgen/fwgen.h"

namespace fwgen {

namespace {

constexpr size_t kVersionOffset = 256;

std::vector<uint8_t> randomBytes(size_t size, uint32_t seed) {
    std::mt19937 generator(seed);
    std::vector<uint8_t> bytes(size);
    for (auto& byte : bytes) byte = static_cast<uint8_t>(generator() >> 24);
    return bytes;
}

void embedVersion(std::vector<uint8_t>& bytes, const std::string& version) {
    const std::string marker = "VERSION=" + version;
    if (bytes.size() < kVersionOffset + marker.size()) bytes.resize(kVersionOffset + marker.size());
    std::copy(marker.begin(), marker.end(), bytes.begin() + kVersionOffset);
}

std::vector<uint8_t> text(const std::string& content) { return {content.begin(), content.end()}; }

// GPIB 7, RS485 address 1, 192.168.0.100, both lines 9600 baud (code 5), even parity, 1 stop bit.
std::vector<uint8_t> initialisationFile(uint32_t seed) {
    std::vector<uint8_t> bytes = {7, 1, 192, 168, 0, 100, 5, 0, 2, 1, 5, 0, 2, 1};
    const auto rest =
        text("\r\n[kx43]\r\nmeasure=on\r\nbuffer=4096\r\nseed=" + std::to_string(seed) + "\r\n");
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    bytes.resize(300, ' ');
    return bytes;
}

void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    writeFileAtomically(path.string(), std::string(bytes.begin(), bytes.end()));
}

// "name1","name2",...
std::string fileFields(const std::vector<std::string>& names) {
    std::string fields;
    for (const auto& name : names) fields += (fields.empty() ? "\"" : ",\"") + name + "\"";
    return fields;
}

}  // namespace

std::vector<uint8_t> kx33Image(const std::string& version, size_t size, uint32_t seed) {
    auto bytes = randomBytes(size, seed);
    embedVersion(bytes, version);
    return bytes;
}

const std::vector<std::string>& kx43FirmwareFiles() {
    static const std::vector<std::string> names = {
        "kx43nmi.exe", "kx43.exe", "kx43lite.exe", "kx43lev2.exe", "kx43emm.exe",
        "kx43ini.cnf", "services", "autoexec.bat", "3c589pd.com",  "ethdrv.exe"};
    return names;
}

std::string kx43FileList(const std::vector<std::string>& names) {
    std::string list;
    for (const auto& name : names) list += "#" + name;
    return list;
}

std::string kx43FunctionFile() {
    return "\"#Download KX43 firmware\",-,\"KX\",\"0\",\"-\",0,10,\r\n" +
           fileFields(kx43FirmwareFiles()) + ",\"##\"\r\n" +
           "\"#KX43 Loader1 download\",\"S\",\"KX\",\"0\","
           "\"If this function fails, your KX43 will not be operational anymore! "
           "Are you sure to download loader1 for KX?\",36,1,\"" +
           std::string(kKx43LoaderFile) + "\",\"##\"\r\n";
}

std::string kx33FunctionFile(const std::string& imageName, size_t blocks) {
    return "\"#Download KX33 firmware\",-,\"KX\",\"0 0 0 0\",\"-\",0,0," +
           std::to_string(blocks - 1) + ",1,\"" + imageName + "\",\"##\"\r\n";
}

void writeKx43Firmware(const std::filesystem::path& directory, const std::string& version,
                       uint32_t seed) {
    std::filesystem::create_directories(directory);
    auto application = randomBytes(20000, seed);
    embedVersion(application, version);
    auto loader = randomBytes(2048, seed + 1);
    embedVersion(loader, version);
    writeBytes(directory / "kx43nmi.exe", randomBytes(1280, seed + 2));  // whole blocks only
    writeBytes(directory / "kx43.exe", application);
    writeBytes(directory / "kx43lite.exe", randomBytes(9001, seed + 3));
    writeBytes(directory / "kx43lev2.exe", randomBytes(3000, seed + 4));
    writeBytes(directory / "kx43emm.exe", randomBytes(700, seed + 5));
    writeBytes(directory / "kx43ini.cnf", initialisationFile(seed));
    writeBytes(directory / "services", text("echo 7/tcp\r\ndaytime 13/tcp\r\nftp 21/tcp\r\n"
                                            "telnet 23/tcp\r\ntime 37/tcp\r\nntp 123/udp\r\n"
                                            "snmp 161/udp\r\nquorvel 5025/tcp\r\n"));
    writeBytes(directory / "autoexec.bat", text("@echo off\r\nethdrv\r\nkx43\r\n"));
    writeBytes(directory / "3c589pd.com", randomBytes(4096, seed + 6));
    writeBytes(directory / "ethdrv.exe", randomBytes(5555, seed + 7));
    writeBytes(directory / kKx43LoaderFile, loader);
}

}  // namespace fwgen
