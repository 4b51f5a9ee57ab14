#include "link/amplifier/flash_erase.h"

#include <algorithm>
#include <string>

#include "link/amplifier/loader_talk.h"
#include "linkpad/linkpad.h"

namespace quorlink::amplifier {

namespace {

constexpr int64_t kType4ExternalBase = 0x480000;

bool accepted(const std::optional<std::string>& answer) {
    return answer && (answer->empty() || *answer == "0");
}

// The byte an error text shows: the answer's first, "?" for a time-out.
int errorByte(const std::optional<std::string>& answer) {
    if (!answer) return '?';
    return answer->empty() ? 0 : static_cast<uint8_t>((*answer)[0]);
}

void flushBoth() {
    QTX_FlushInQueue();
    QTX_FlushOutQueue();
}

struct BankStep {
    int bank;
    int field;       // third byte of the group-2 command
    int retryField;  // third byte of the group-3 retry
    int pauseMs;
};

}  // namespace

int64_t sectorStart(int sector) {
    static constexpr int64_t kSmall[] = {0, 0x4000, 0x6000, 0x8000};
    return sector < 4 ? kSmall[sector] : 0x10000LL * (sector - 3);
}

void eraseLoader1Areas(const ApplicationJob& job) {
    int done = 0;
    const int count = job.channelCount();
    forEachChannel(job.channelMask, [&](int c) {
        channel().reportProgress(done / count * 100);
        ++done;
        const auto answer = ask(textf("PRC1,2,L%02X%02X%02X00\r\n", c + 1, job.moduleCode,
                                      job.markerFor(c)),
                                kLineAnswer, "Port Timeout erasing flash block 1! Try to ignore it!");
        if (!answer || accepted(answer)) return;
        channel().reportMessage(
            textf("Error selecting RA-channel %02i, \nError %02X, maybe flash erase time too long. "
                  "Try to ignore it.",
                  c + 1, errorByte(answer)),
            0);
        channel().waitMs(8000);
    });
}

void eraseType2Banks(const ApplicationJob& job) {
    const int total = 3 * job.channelCount();
    int step = 0;
    forEachChannel(job.channelMask, [&](int c) {
        const int marker = job.markerFor(c);
        const BankStep steps[] = {{1, 0x55, 0, 6000}, {2, 0x55, 0, 8000}, {3, marker, marker, 8000}};
        bool failed = false;
        int lastByte = 0;
        for (const auto& s : steps) {
            channel().reportProgress(step++ * 100 / total);
            if (!failed) {
                const auto answer = ask(textf("PRC1,2,L%02X%02X%02X%02X\r\n", c + 1, job.moduleCode,
                                              s.field, s.bank),
                                        kLineAnswer, {});
                failed = !accepted(answer);
                lastByte = errorByte(answer);
            }
            if (failed) {
                channel().reportMessage(
                    textf("Error erasing bank%i of RA-channel %02i, \nError %02X, maybe erase time "
                          "too long. Try to ignore it.\nPossible with KX13 versions.",
                          s.bank, c + 1, lastByte),
                    0);
                channel().waitMs(s.pauseMs);
                flushBoth();
                ask(textf("PRC1,3,L%02X%02X%02X%02X\r\n", c + 1, job.moduleCode, s.retryField, s.bank),
                    kLineAnswer, {});
                channel().waitMs(s.pauseMs);
                flushBoth();
            }
            if (s.bank == 3) ask(textf("PRC1,7,B%02X%04X\r\n", 0, 64), kLineAnswer, {});
        }
    });
    channel().reportProgress(100);
}

int eraseType3Sectors(const ApplicationJob& job, int64_t fileStart, int64_t fileEnd) {
    int sectors = 0;
    for (int s = 18; s >= 0; --s) {
        ++sectors;
        if (sectorStart(s) <= fileStart || (s == 4 && job.programMode != kApplicationWithLoader1)) break;
    }
    const int total = sectors * job.channelCount();
    int done = 0;
    int result = 0;
    forEachChannel(job.channelMask, [&](int c) {
        if (result != 0) return;
        for (int s = 18; s >= 0 && result == 0; --s) {
            const bool endsWalk =
                sectorStart(s) <= fileStart || (s == 4 && job.programMode != kApplicationWithLoader1);
            if (sectorStart(s) < fileEnd) {
                const int byte = endsWalk ? job.markerFor(c) : 0x55;
                const auto answer = ask(textf("PRC1,2,H%02X%02X%02X%02X\r\n", c + 1, job.moduleCode, byte, s),
                                        kLineAnswer, {});
                if (!answer) {
                    channel().reportMessage(textf("Error erasing bank %02i of RA-channel %02i, \nTimeout Ventrix Error.", s, c + 1), 0);
                    result = -2;
                } else if (!accepted(answer)) {
                    channel().reportMessage(textf("Error erasing bank %02i of RA-channel %02i, \nError %02X.", s, c + 1, errorByte(answer)), 0);
                    result = -2;
                }
            }
            channel().reportProgress(std::min(100, ++done * 100 / total));
            if (endsWalk) break;
        }
    });
    return result;
}

namespace {

int eraseType4External(const ApplicationJob& job, int c, int64_t start, int64_t end) {
    for (int s = 18; s >= 0; --s) {
        if (sectorStart(s) < end - kType4ExternalBase) {
            const auto answer = ask(textf("PRC1,2,H%02X%02X%02X%02X\r\n", c + 1, job.moduleCode,
                                          job.markerFor(c), s),
                                    kLineAnswer, {});
            if (!accepted(answer)) {
                channel().reportMessage(textf("Error erasing external bank %02i of RA-channel %02i, \nError %02X.",
                                              s, c + 1, errorByte(answer)),
                                        0);
                return -2;
            }
        }
        if (!(sectorStart(s) > start - kType4ExternalBase)) break;
    }
    return 0;
}

int eraseType4Internal(const ApplicationJob& job, int c) {
    const int highest = job.programMode == kLoader1Area ? 0 : 5;
    const int lowest = job.programMode == kApplication ? 1 : 0;
    for (int bank = highest; bank >= lowest; --bank) {
        const auto answer = ask(textf("PRC1,2,L%02X%02X%02X%02X\r\n", c + 1, job.moduleCode,
                                      job.markerFor(c), bank),
                                kLineAnswer,
                                textf("Port Timeout erasing internal flash bank %02i of RA-Channel %02i!", bank, c + 1));
        if (!answer) return -1;
        if (!accepted(answer)) {
            channel().reportMessage(textf("Error selecting RA-channel %02i, \nError %02X.", c + 1, errorByte(answer)), 0);
            return -1;
        }
    }
    return 0;
}

}  // namespace

int eraseType4(const ApplicationJob& job, bool external, int64_t start, int64_t end) {
    const int total = 2 * job.channelCount();
    int step = 0;
    int result = 0;
    forEachChannel(job.channelMask, [&](int c) {
        if (result != 0) return;
        if (external) result = eraseType4External(job, c, start, end);
        channel().reportProgress(++step * 100 / total);
        if (result == 0 && !job.mainImageOff) result = eraseType4Internal(job, c);
        channel().reportProgress(++step * 100 / total);
    });
    return result;
}

}  // namespace quorlink::amplifier
