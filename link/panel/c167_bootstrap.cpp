#include "link/panel/c167_bootstrap.h"

#include <cstdint>
#include <vector>

#include "link/images/strapper_hex.h"
#include "link/panel/serial_bytes.h"

namespace quorlink::panel {

namespace {

constexpr uint8_t kC167Identification = 0xC5;

}  // namespace

int wakeC167(StrapperReporter& reporter) {
    reporter.log("Activate 167C (\\0) ...");
    const uint8_t zero = 0;
    if (!writeBytes({&zero, 1})) return kStrapperPortError;
    const auto answer = readByte();
    switch (answer.status) {
        case ByteRead::Failed:
            return kStrapperPortError;
        case ByteRead::Timeout:
            return kStrapperNoC167;
        case ByteRead::Received:
            break;
    }
    return answer.byte == kC167Identification ? 0 : kStrapperNoC167;
}

int sendFirstStageLoader(const std::string& path, StrapperReporter& reporter) {
    reporter.log("Read LoadFile " + path + " ...");
    std::vector<uint8_t> loader;
    if (ReadHexBytes(loader, path, kFirstStageLimit) != 0) return kStrapperCannotOpen;
    reporter.log("Write LoadFile " + path + " to C167 ...");
    return writeBytes(loader) ? 0 : kStrapperPortError;
}

int sendProgrammingProgram(const std::string& path, StrapperReporter& reporter) {
    reporter.log("Read ProgFile " + path + " ...");
    std::vector<uint8_t> program;
    if (ReadHexBytes(program, path, kProgramLimit) != 0) return kStrapperCannotOpen;
    if (program.size() % 2 != 0) program.push_back(0);
    program.insert(program.begin(), static_cast<uint8_t>(program.size() / 2));
    reporter.log("Write ProgFile " + path + " to C167 ...");
    return writeBytes(program) ? 0 : kStrapperPortError;
}

}  // namespace quorlink::panel
