#include "link/images/stamp.h"

#include <cstdio>

#include "link/images/check_tables.h"

namespace quorlink {

namespace {

std::string fileNameOf(const std::string& path) {
    const size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

StampTimeSource& stampTimeSource() {
    static StampTimeSource source;
    return source;
}

std::tm localNow() {
    if (stampTimeSource()) return stampTimeSource()();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local;
}

}  // namespace

std::string StampText(const std::tm& localTime, const std::string& firmwarePath) {
    std::string date(32, '\0');
    const int length =
        std::snprintf(date.data(), date.size(), "%02i.%02i.%04i,%02i:%02i:%02i", localTime.tm_mday,
                      localTime.tm_mon + 1, localTime.tm_year + 1900, localTime.tm_hour,
                      localTime.tm_min, localTime.tm_sec);
    date.resize(static_cast<size_t>(std::max(length, 0)));
    return date + ",QTX Quorlink 348" + "," + fileNameOf(firmwarePath);
}

void SetStampTimeSource(StampTimeSource source) { stampTimeSource() = std::move(source); }

std::string CurrentStampText() { return StampText(localNow(), checkTables().stampFileName); }

std::optional<int64_t> StampPosition(int stampKind) {
    switch (stampKind) {
        case 2:
            return 0x4FF80;
        case 3:
            return 0x3FF80;
        case 255:
            return 0x1FF80;
        default:
            return std::nullopt;
    }
}

}  // namespace quorlink
