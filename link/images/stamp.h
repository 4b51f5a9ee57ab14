#pragma once
// The download stamp written into panel and amplifier images: local date and time, the
// library's mark and the firmware file's name.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace quorlink {

// "dd.mm.yyyy,hh:mm:ss,QTX Quorlink 348," + the file name without its directory.
std::string StampText(const std::tm& localTime, const std::string& firmwarePath);

// The stamp for now and checkTables().stampFileName.
std::string CurrentStampText();

// Image position of a stamp kind: 2 -> 0x4FF80, 3 -> 0x3FF80, 255 -> 0x1FF80; others none.
std::optional<int64_t> StampPosition(int stampKind);

}  // namespace quorlink
