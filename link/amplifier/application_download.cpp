#include "link/amplifier/application_download.h"

#include <bit>

#include "link/amplifier/download_files.h"
#include "link/amplifier/loader_talk.h"
#include "link/images/check_tables.h"

namespace quorlink::amplifier {

int ApplicationJob::lastChannel() const {
    return channelMask == 0 ? -1 : 31 - std::countl_zero(channelMask & 0xFFFF);
}

int ApplicationJob::channelCount() const { return std::max(1, std::popcount(channelMask & 0xFFFF)); }

int failIntelHexConversion() {
    channel().reportMessage(kIntelHexError, 0);
    return -1;
}

int downloadApplication(const ApplicationJob& job) {
    checkTables().stampFileName = job.path;
    if (!switchPanelOut(kTimeoutSelectedPort)) return -2;
    const TempImagesScope images;
    switch (job.firmwareType) {
        case 1:
            return downloadOlderSeries(job);
        case 2:
        case 3:
            return downloadTypes2And3(job);
        case 4:
            return downloadType4(job);
        default:
            return 0;
    }
}

}  // namespace quorlink::amplifier
