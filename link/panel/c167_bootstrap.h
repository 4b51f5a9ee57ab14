#pragma once
// The controller's on-chip bootstrap: the wake-up byte, the first-stage loader and the
// programming program it then receives.
#include <string>

#include "link/panel/strapper_report.h"

namespace quorlink::panel {

inline constexpr size_t kFirstStageLimit = 512;  // data bytes of the first-stage loader
inline constexpr size_t kProgramLimit = 510;     // the word count must fit in one byte

// A zero byte, answered by the identification byte 0xC5. 0, -3 port failure, -13 no or another
// answer.
int wakeC167(StrapperReporter& reporter);

// The first-stage loader's data bytes as they are. 0, -103 unreadable or too long, -3.
int sendFirstStageLoader(const std::string& path, StrapperReporter& reporter);

// The programming program behind its length in 16-bit words; an odd length is padded with a
// zero byte so the controller receives exactly the words announced. 0, -103, -3.
int sendProgrammingProgram(const std::string& path, StrapperReporter& reporter);

}  // namespace quorlink::panel
