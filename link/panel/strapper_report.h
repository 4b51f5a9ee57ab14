#pragma once
// How the bootstrap tool tells what it does: texts through the status callback, percent through
// the progress callback, everything into its optional log file.
#include <cstdint>
#include <string>
#include <string_view>

#include "link/channel/channel.h"
#include "link/panel/c_file.h"

namespace quorlink::panel {

// The result codes of a bootstrap run.
enum StrapperResult {
    kStrapperDone = 0,
    kStrapperPortError = -3,
    kStrapperFlashError = -11,
    kStrapperNoC167 = -13,
    kStrapperSyntaxError = -101,
    kStrapperCannotOpen = -103,
    kStrapperNoKX43 = -105,
    kStrapperTooMany = -107,
};

// The text reported for a result code.
const char* strapperErrorText(int code);

class StrapperReporter {
  public:
    static constexpr uint32_t kProgressIntervalMs = 500;

    explicit StrapperReporter(Channel& channel) : channel_(channel) {}

    // The text (when not empty) through the status callback with code 0, the percent always.
    void report(std::string_view text, int percent);
    void progress(int percent) { channel_.reportProgress(percent); }
    // Percent only when the interval has elapsed since the last one (or at 100).
    void progressAtMostEvery500ms(int percent);
    void restartProgressInterval();

    // Replaces the log file; false when it cannot be created.
    bool openLog(const std::string& path);
    void log(std::string_view text);
    // Reports and logs the text of a failed run; returns the code.
    int error(int code);

  private:
    Channel& channel_;
    CFile log_;
    uint32_t lastProgress_ = 0;
};

}  // namespace quorlink::panel
