#include "link/amplifier/maintenance.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "link/amplifier/loader_talk.h"
#include "link/amplifier/rack_reset.h"
#include "linkpad/linkpad.h"

namespace quorlink::amplifier {

namespace {

constexpr int kShortAnswer = 40;
constexpr int kSubChannelListAnswer = 7900;
constexpr const char* kNotSelectable = "Amplifier not selectable!";
constexpr const char* kSubChannelWarning = "Amplifier subchannel not selectable! Continue.";

std::optional<std::string> askShort(const std::string& command) { return ask(command, kShortAnswer); }

void warnOnRefusal(const std::optional<std::string>& answer, const char* text) {
    if (answer && answer->starts_with("?")) channel().reportMessage(text, 0);
}

// "CHS<mask>": nullopt after a time-out; false when refused (and reported).
std::optional<bool> selectChannels(uint32_t mask) {
    const auto answer = askShort(textf("CHS%i\r\n", static_cast<int>(mask)));
    if (!answer) return std::nullopt;
    if (answer->starts_with("?")) {
        channel().reportMessage(kNotSelectable, 0);
        return false;
    }
    return true;
}

}  // namespace

std::vector<char> modeEntries(const std::string& answer) {
    std::vector<char> entries;
    for (size_t i = 0; i < answer.size() && entries.size() < 20; i += 2) {
        entries.push_back(answer[i]);
        if (i + 1 >= answer.size() || (answer[i + 1] != ':' && answer[i + 1] != '\n')) break;
    }
    return entries;
}

std::vector<int> subChannelCounts(const std::string& answer) {
    std::vector<int> counts;
    std::string rest = answer;
    while (!rest.empty() && counts.size() < 16) {
        const auto cut = rest.find_last_of("\n:");
        const std::string entry = cut == std::string::npos ? rest : rest.substr(cut + 1);
        const auto comma = entry.rfind(',');
        counts.push_back(std::atoi(entry.substr(comma == std::string::npos ? 0 : comma + 1).c_str()));
        if (cut == std::string::npos) break;
        rest.resize(cut);
    }
    return counts;
}

// A query every selected module answers: racks join the answers with ":" on one line, or send
// one line per module. Further lines are awaited only while fewer answers than selected modules
// have arrived one a line; the lines are kept apart by line feeds.
std::optional<std::string> moduleAnswers(const std::string& command, uint32_t mask, int maximum) {
    auto answers = ask(command, maximum);
    const int modules = std::popcount(mask);
    // A line of answers joined with ":" holds them all, and a lone "?" is the rack refusing the
    // query as a whole: no further line comes after either.
    const bool complete = answers && (answers->find(':') != std::string::npos || *answers == "?");
    for (int lines = 1; answers && !complete && lines < modules; ++lines) {
        std::string line;
        if (channel().readAnswer(line, maximum) != 0) {
            channel().reportMessage(kPortTimeout, 0);
            return std::nullopt;
        }
        *answers += "\n" + line;
    }
    return answers;
}

int changeOperatingMode(uint32_t mask, int targetMode) {
    Channel& ch = channel();
    const char target = static_cast<char>('0' + targetMode);
    ch.reportProgress(10);
    const auto selected = selectChannels(mask);
    if (!selected) return -2;
    if (!*selected) return -1;
    ch.reportProgress(20);
    const auto before = moduleAnswers("MCF?\r\n", mask, kShortAnswer);
    if (!before) return -2;
    const auto entries = modeEntries(*before);
    if (std::count(entries.begin(), entries.end(), '?'))
        ch.reportMessage("Some amplifiers are not selectable. Continue.", 0);
    if (std::count(entries.begin(), entries.end(), target))
        ch.reportMessage("Some amplifiers are in this mode. Continue.", 0);
    ch.reportProgress(30);
    const auto changed = askShort(textf("MCF%i\r\n", targetMode));
    if (!changed) return -2;
    warnOnRefusal(changed, "Not all amplifiers are selectable. Continue.");
    ch.reportProgress(40);
    const auto after = moduleAnswers("MCF?\r\n", mask, kShortAnswer);
    if (!after) return -2;
    const auto now = modeEntries(*after);
    if (std::count(now.begin(), now.end(), '?')) {
        ch.reportMessage("Error: Not all amplifiers are selectable!", 0);
        return -5;
    }
    if (!std::all_of(now.begin(), now.end(), [&](char e) { return e == target; })) {
        ch.reportMessage("Error: Not all amplifiers are changed!", 0);
        return -6;
    }
    ch.reportProgress(50);
    const auto reset = askShort("TDD0\r\n");
    if (!reset) return -2;
    warnOnRefusal(reset, "Reset amplifier settings failed. Continue.");
    for (int j = 1; j <= 8; ++j) {
        ch.reportProgress(static_cast<int>((0.6 + 0.05 * j) * 100));
        const auto stored = askShort(textf("TDD2,%i\r\n", j));
        if (!stored) return -2;
        warnOnRefusal(stored, "Store amplifier settings failed. Continue.");
    }
    return 0;
}

int changeSubChannels(uint32_t mask, int count, int resetSeconds, int variant) {
    Channel& ch = channel();
    ch.reportProgress(10);
    auto selected = selectChannels(mask);
    if (!selected) return -2;
    if (!*selected) return -1;
    ch.reportProgress(20);
    const auto set = askShort(textf(variant != 0 ? "PAR9990,%i\r\n" : "PAR400,%i\r\n", count));
    if (!set) return -2;
    warnOnRefusal(set, "Not all amplifiers are selectable. Continue.");
    const bool back = resetRack(resetSeconds, [&](int step, int steps) {
        ch.reportProgress(static_cast<int>((0.3 + 0.6 * step / steps) * 100));
    });
    if (!back) return -1;
    ch.reportProgress(90);
    selected = selectChannels(mask);
    if (!selected) return -2;
    if (!*selected) return -1;
    ch.reportProgress(100);
    const auto list = moduleAnswers("SPS?0\r\n", mask, kSubChannelListAnswer);
    if (!list) return -2;
    const auto counts = subChannelCounts(*list);
    if (std::all_of(counts.begin(), counts.end(), [&](int n) { return n == count; })) return 0;
    ch.reportMessage(variant == 2
                         ? "Warning: Not all amplifiers are changed! Could be okay if you use JB6xx."
                         : "Error: Not all amplifiers are changed!",
                     0);
    return -6;
}

int clearChannelNames(uint32_t mask) {
    const auto selected = selectChannels(mask);
    if (!selected) return -2;
    if (!*selected) return -1;
    const auto all = askShort("SPS0\r\n");
    if (!all) return -2;
    warnOnRefusal(all, kSubChannelWarning);
    const auto cleared = askShort("UCC\"\"\r\n");
    if (!cleared) return -2;
    warnOnRefusal(cleared, "Not all amplifiers are selectable. Continue.");
    const auto first = askShort("SPS1\r\n");
    if (!first) return -2;
    warnOnRefusal(first, kSubChannelWarning);
    return 0;
}

int deleteCanDatabase(uint32_t mask) {
    Channel& ch = channel();
    const auto selected = selectChannels(mask);
    if (!selected) return -1;
    if (!*selected) return -2;
    const auto first = askShort("SPS1\r\n");
    if (!first) return -1;
    warnOnRefusal(first, kSubChannelWarning);
    for (const char* command : {"DBA1,7314\r\n", "DBA2,7314\r\n"}) {
        const auto answer = ask(command, kShortAnswer, {});
        if (!answer) ch.reportMessage("Port Timeout! Try to ignore.", 0);
        if (!answer || answer->starts_with("?")) {
            ch.waitMs(8000);
            QTX_FlushInQueue();
            QTX_FlushOutQueue();
        }
    }
    return 0;
}

}  // namespace quorlink::amplifier
