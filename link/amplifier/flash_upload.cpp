#include "link/amplifier/flash_upload.h"

#include <optional>
#include <vector>

#include "link/amplifier/loader_talk.h"
#include "link/amplifier/output_file.h"
#include "link/channel/progress.h"
#include "link/images/block_text.h"

namespace quorlink::amplifier {

namespace {

constexpr int kUploadAnswer = 280;
constexpr size_t kBlockHex = 258;  // 128 data bytes and the check byte as hex
constexpr int kInternalBlocks = 1024;
constexpr int kExternalLimit = 4096;

enum class BlockError { None, Text, Check };

// Decodes a block answer; the check byte plus the data's sum must be 0 modulo 256.
BlockError decodeBlock(const std::string& answer, std::string& data) {
    data.clear();
    uint8_t sum = 0;
    for (size_t i = 0; i + 1 < kBlockHex; i += 2) {
        const auto byte = HexPairToByte(answer[i], answer[i + 1]);
        if (!byte) return BlockError::Text;
        sum = static_cast<uint8_t>(sum + *byte);
        if (data.size() < 128) data += static_cast<char>(*byte);
    }
    return sum == 0 ? BlockError::None : BlockError::Check;
}

int failBlock(const char* text) {
    channel().reportMessage(text, 0);
    return -1;
}

int failFile() {
    channel().reportMessage("Error opening data file!", 0);
    return -5;
}

int uploadInternal(int address, const std::string& path) {
    OutputFile file(path);
    if (!file.isOpen()) return failFile();
    std::string data;
    for (int c = 0; c < kInternalBlocks; ++c) {
        channel().reportProgress(percentDone(kInternalBlocks - c, kInternalBlocks));
        const auto answer = ask(textf("PRC1,7,U%02X%04X89\r\n", address, c), kUploadAnswer);
        if (!answer) return -1;
        if (answer->starts_with("?")) return failBlock("Amplifier did not answer!");
        if (answer->size() < kBlockHex) return failBlock("Amplifier did not answer correctly!");
        const auto error = decodeBlock(*answer, data);
        if (error == BlockError::Text) return failBlock("Error in internal communication!");
        if (error == BlockError::Check) return failBlock("Error in checksum!");
        if (!file.write(data)) return failFile();
    }
    return file.commit() ? 0 : failFile();
}

// The external data is complete: the file appears and the progress shows it.
int finish(OutputFile& file) {
    if (!file.commit()) return failFile();
    channel().reportProgress(100);
    return 0;
}

int uploadExternal(int address, const std::string& path, int total) {
    std::optional<OutputFile> file;
    std::string data;
    for (int c = 0; c < kExternalLimit; ++c) {
        channel().reportProgress(c >= total ? 100 : percentDone(total - c, total));
        const auto answer = ask(textf("PRC1,7,U%02X%04X32\r\n", address, c), kUploadAnswer, {});
        if (!answer) {
            if (c == 0) return 0;  // no external flash fitted
            return failBlock("Port Timeout!");
        }
        if (answer->starts_with("?")) return failBlock("External flash in this loader2 not accessible!");
        if (!file) {
            file.emplace(path);
            if (!file->isOpen()) return failFile();
        }
        if (answer->size() != kBlockHex) {
            if (answer->starts_with("00")) return finish(*file);
            return failBlock("Error in internal communication (external block length too short!)");
        }
        const auto error = decodeBlock(*answer, data);
        if (error == BlockError::Text) return failBlock("Error in internal communication!");
        if (error == BlockError::Check) return failBlock("Error in checksum external flash data block!");
        if (!file->write(data)) return failFile();
    }
    return finish(*file);
}

}  // namespace

int uploadFlash(int loaderChannel, const std::string& path, int firmwareType, bool externalOnly) {
    if (firmwareType < 2 || firmwareType > 4) {
        channel().reportMessage("This device doesn't support this function!", 0);
        return 0;
    }
    const int address = loaderChannel + 1;
    if (!switchPanelOut(kTimeoutSelectedPort)) return -2;
    const bool internal = !externalOnly && firmwareType != 3;
    if (internal) {
        if (const int result = uploadInternal(address, path); result != 0) return result;
    }
    std::string externalPath = path;
    if (internal && !externalPath.empty()) externalPath.back() = '1';
    const int total = externalOnly ? 3072 : firmwareType == 3 ? 4096 : 1024;
    return uploadExternal(address, externalPath, total);
}

}  // namespace quorlink::amplifier
