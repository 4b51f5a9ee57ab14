#pragma once
// The download stamp written into panel and amplifier images: local date and time, the
// library's mark and the firmware file's name.
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>

namespace quorlink {

// "dd.mm.yyyy,hh:mm:ss,QTX Quorlink 348," + the file name without its directory.
std::string StampText(const std::tm& localTime, const std::string& firmwarePath);

// The stamp for now and checkTables().stampFileName.
std::string CurrentStampText();

// Where the stamp's local time comes from; an empty source restores the system's local time.
// A recorded download replays byte for byte only with the recording's time in its stamp.
using StampTimeSource = std::function<std::tm()>;
void SetStampTimeSource(StampTimeSource source);

// Image position of a stamp kind: 2 -> 0x4FF80, 3 -> 0x3FF80, 255 -> 0x1FF80; others none.
std::optional<int64_t> StampPosition(int stampKind);

}  // namespace quorlink
