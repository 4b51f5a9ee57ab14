// KX33 firmware upload: reads flash blocks back into a file where each block lands at its flash
// offset.
#include <cstdint>
#include <string>

#include "link/channel/channel.h"
#include "link/images/block_text.h"
#include "link/processor/kx33.h"
#include "link/processor/kx33_block_checks.h"
#include "link/processor/partial_file.h"
#include "link/processor/processor_common.h"
#include "linkpad/linkpad.h"

namespace quorlink::processor {

namespace {

constexpr int kUploadAnswer = 1200;
// Characters before the block's hex text; the four checksum digits follow it.
constexpr size_t kHeaderLength = 8;
constexpr size_t kChecksumLength = 4;

int fail(const std::string& text, int result) {
    channel().reportMessage(text, 0);
    return result;
}

// Converts the block's hex text into `bytes`; false on a pair that is not hex.
bool decodeBlock(std::string_view hex, std::string& bytes, uint64_t& sum) {
    bytes.clear();
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        const auto byte = HexPairToByte(hex[i], hex[i + 1]);
        if (!byte) return false;
        bytes += static_cast<char>(*byte);
        sum += *byte;
    }
    return true;
}

// One block from flash into the file; 0, -1 or -11.
int uploadBlock(int64_t n, int32_t blockSize, std::ofstream& out) {
    Channel& ch = channel();
    std::string answer;
    if (ch.query("PRC?310," + std::to_string(n) + "\r\n", answer, kUploadAnswer) != 0)
        return fail("Port Timeout!", -1);
    // The processor's line: header, block, checksum and its CR LF, which the port library strips.
    const size_t dataLength = 2 * static_cast<size_t>(blockSize);
    if (answer.size() != kHeaderLength + dataLength + kChecksumLength || answer.starts_with("?"))
        return fail("KX33 did not answer correctly!", -1);
    std::string bytes;
    uint64_t sum = 0;
    if (!decodeBlock(std::string_view(answer).substr(kHeaderLength, dataLength), bytes, sum))
        return fail("Error in internal communication!", -1);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::string check;
    uint64_t ignored = 0;
    if (!decodeBlock(std::string_view(answer).substr(kHeaderLength + dataLength), check, ignored))
        return fail("Error in internal communication!", -1);
    const uint16_t received = static_cast<uint16_t>(static_cast<uint8_t>(check[0]) |
                                                    static_cast<uint8_t>(check[1]) << 8);
    if (received != onesComplement16(sum))
        return fail("Checksum Error Transfer Block " + std::to_string(n) +
                        " from KX33! \nRestart Ventrix and try again!",
                    -11);
    return 0;
}

int uploadBlocks(const Kx33Blocks& b, std::ofstream& out) {
    const int64_t end = int64_t{b.firstBlock} + b.blockCount;
    for (int64_t n = b.firstBlock; n < end; ++n) {
        if (const int result = uploadBlock(n, b.blockSize, out); result != 0) return result;
        channel().reportProgress(progressBefore(end - n, b.blockCount));
    }
    return 0;
}

}  // namespace

int uploadKx33(const std::string& targetPath, const Kx33Blocks& b) {
    Channel& ch = channel();
    if (!kx33ArgumentsUsable(b, "Upload not supported by this version of Quorlink!")) return -2;
    QTX_FlushInQueue();
    QTX_FlushOutQueue();
    std::string answer;
    if (ch.query("PRC300,1\r\n", answer, kKx33ShortAnswer) != 0) return fail("Port Timeout!", -1);
    if (!answer.starts_with("0")) return fail("Can't enable KX33 Bootloader!", -5);

    PartialFile file(targetPath);
    if (!file.isOpen()) return fail("Error creating data file on local machine!", -9);
    // Each block lands at its flash offset; the bytes before the first block read as zeros.
    if (!file.stream().seekp(static_cast<std::streamoff>(int64_t{b.firstBlock} * b.blockSize)))
        return fail("Error opening data file on local machine!", -5);
    ch.reportProgress(0);
    ch.reportStatus("Upload KX33 firmware...", 5);
    if (const int result = uploadBlocks(b, file.stream()); result != 0) return result;
    if (!file.commit()) return fail("Error creating data file on local machine!", -9);

    if (ch.query("PRC300,0\r\n", answer, kKx33ShortAnswer) != 0) return fail("Port Timeout!", -1);
    if (!answer.starts_with("0")) return fail("Can't start measurement mode!", -29);
    return 0;
}

}  // namespace quorlink::processor
