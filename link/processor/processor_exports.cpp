// The processor loaders' exports: store the callbacks and the time-out, then run the loader.
#include "link/channel/channel.h"
#include "link/processor/kx33.h"
#include "link/processor/kx43.h"
#include "link/quorlink.h"
#include "linkpad/linkpad.h"

using quorlink::channel;
namespace processor = quorlink::processor;

namespace {

void storeCallbacks(QuorlinkCallback message, QuorlinkCallback progress, QuorlinkCallback status,
                    QuorlinkCallback input) {
    auto& ch = channel();
    ch.setMessageCallback(message);
    ch.setProgressCallback(progress);
    ch.setStatusCallback(status);
    ch.setInputCallback(input);
}

std::string text(const char* value) { return value ? value : ""; }

}  // namespace

extern "C" {

int32_t UpdateKX33(int32_t timeoutMs, QuorlinkCallback message, QuorlinkCallback progress,
                   QuorlinkCallback status, QuorlinkCallback input, const char* imagePath,
                   const char* /*ignored*/, int32_t firstBlock, int32_t blockCount,
                   int32_t blockSize, int32_t formatVersion, int32_t emptyFlashValue,
                   int32_t /*ignored*/) {
    storeCallbacks(message, progress, status, input);
    QTX_SetTimeout(timeoutMs);
    return processor::updateKx33(text(imagePath),
                                 {firstBlock, blockCount, blockSize, formatVersion},
                                 emptyFlashValue);
}

int32_t UploadKX33(int32_t timeoutMs, QuorlinkCallback message, QuorlinkCallback progress,
                   QuorlinkCallback status, QuorlinkCallback input, const char* targetPath,
                   const char* /*ignored*/, int32_t firstBlock, int32_t blockCount,
                   int32_t blockSize, int32_t formatVersion, int32_t /*ignored*/,
                   int32_t /*ignored*/) {
    storeCallbacks(message, progress, status, input);
    QTX_SetTimeout(timeoutMs);
    return processor::uploadKx33(text(targetPath),
                                 {firstBlock, blockCount, blockSize, formatVersion});
}

int32_t EstabKX33(int32_t timeoutMs, QuorlinkCallback message, QuorlinkCallback progress,
                  QuorlinkCallback status, QuorlinkCallback input, int32_t restartWait,
                  int32_t /*ignored*/, const char* /*ignored*/, const char* /*ignored*/,
                  const char* /*ignored*/) {
    storeCallbacks(message, progress, status, input);
    QTX_SetTimeout(timeoutMs);
    return processor::establishKx33(restartWait);
}

int32_t UpdateKX43(int32_t timeoutMs, QuorlinkCallback message, QuorlinkCallback progress,
                   QuorlinkCallback status, QuorlinkCallback input, const char* directory,
                   const char* /*ignored*/, int32_t variant, int32_t fileCount,
                   const char* fileList, int32_t restartWait) {
    storeCallbacks(message, progress, status, input);
    QTX_SetTimeout(timeoutMs);
    return processor::updateKx43({text(directory), variant, fileCount, text(fileList), restartWait});
}

int32_t EstabKX43(int32_t timeoutMs, QuorlinkCallback message, QuorlinkCallback progress,
                  QuorlinkCallback status, QuorlinkCallback input, int32_t restartWait,
                  int32_t variant) {
    storeCallbacks(message, progress, status, input);
    QTX_SetTimeout(timeoutMs);
    return processor::establishKx43(restartWait, variant);
}

}  // extern "C"
