#include "rack/amplifier/module_bus.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "rack/amplifier/amplifier_module.h"
#include "rack/amplifier/module_timing.h"
#include "rack/amplifier/protocol_fields.h"
#include "rack/core/rack.h"

namespace rack::amplifier {

namespace {

constexpr std::string_view kApplicationCommands[] = {
    "SPS", "AID?", "UCC", "REV?", "AMT?", "MCF", "TDD", "TID", "PAR", "DBA", "CAN1", "PRG9,1",
    "SNR?", "PRG?750"};

bool isApplicationCommand(std::string_view line) {
    return std::any_of(std::begin(kApplicationCommands), std::end(kApplicationCommands),
                       [&](std::string_view p) { return line.starts_with(p); });
}

std::vector<AmplifierModule*> selectedModules(const Rack& rack) {
    std::vector<AmplifierModule*> selected;
    for (auto* m : amplifierModules(rack))
        if (rack.selectedChannels() & (1u << m->slot())) selected.push_back(m);
    return selected;
}

AmplifierModule* lead(const Rack& rack) {
    for (auto* m : amplifierModules(rack))
        if (m->powered()) return m;
    return nullptr;
}

// "CHS<mask>": every selected slot must hold a powered module that runs its application.
Reply selectChannels(std::string_view digits, Rack& rack) {
    const auto mask = parseDecimal(digits);
    if (!mask || *mask <= 0 || *mask > 0xFFFF) return Reply::refused();
    for (int slot = 0; slot < Rack::kSlots; ++slot) {
        if (!(*mask & (1 << slot))) continue;
        auto* m = dynamic_cast<AmplifierModule*>(rack.slot(slot));
        if (!m || !m->powered() || !m->runsApplication()) return Reply::refused();
    }
    rack.selectChannels(static_cast<uint32_t>(*mask));
    return Reply::accepted();
}

// "PCS<channel + 1>": one channel for the connection-board queries.
Reply selectBoardChannel(std::string_view digits, Rack& rack) {
    const auto channel = parseDecimal(digits);
    if (!channel || *channel < 1 || *channel > Rack::kSlots) return Reply::refused();
    auto* m = dynamic_cast<AmplifierModule*>(rack.slot(*channel - 1));
    if (!m || !m->powered() || !m->runsApplication()) return Reply::refused();
    rack.selectChannels(1u << (*channel - 1));
    return Reply::accepted();
}

// "PRC1,5": the rack's channel check after a reset.
Reply channelCheck(const Rack& rack) {
    for (auto* m : amplifierModules(rack))
        if (!m->powered() || !m->runsApplication()) return Reply::refused();
    return Reply::accepted();
}

// Every selected module's answer to a query, a module without power as "?": joined with ":" on
// one line, or one line each, as the rack file chooses.
std::vector<std::string> answersOf(const std::vector<AmplifierModule*>& selected, std::string_view line) {
    std::vector<std::string> answers;
    for (auto* m : selected) {
        const auto reply = m->powered() ? m->applicationCommand(line, true) : std::nullopt;
        std::string text = reply ? reply->bytes : "?";
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        answers.push_back(std::move(text));
    }
    return answers;
}

Reply joinedOnOneLine(const std::vector<std::string>& answers) {
    std::string joined;
    for (const auto& answer : answers) joined += (joined.empty() ? "" : ":") + answer;
    return Reply::line(joined);
}

Reply lineByLine(const std::vector<std::string>& answers) {
    std::string lines;
    for (const auto& answer : answers) lines += answer + "\r\n";
    return Reply::raw(lines);
}

std::optional<Reply> applicationOnBus(AmplifierModule& self, std::string_view line, Rack& rack) {
    const auto selected = selectedModules(rack);
    if (selected.empty() || selected.front() != &self) return std::nullopt;
    if (!self.powered()) return Reply::none();
    if (line == "MCF?" || line == "SPS?0") {
        const auto answers = answersOf(selected, line);
        switch (rack.moduleAnswers()) {
            case ModuleAnswers::Joined: return joinedOnOneLine(answers);
            case ModuleAnswers::Lines: return lineByLine(answers);
            case ModuleAnswers::Usual: break;
        }
        return line == "MCF?" ? joinedOnOneLine(answers) : lineByLine(answers);
    }
    std::optional<Reply> answer;
    for (auto* m : selected) {
        if (!m->powered()) continue;
        auto reply = m->applicationCommand(line, m == &self);
        if (m == &self) answer = std::move(reply);
        else if (reply && reply->bytes.starts_with("?")) answer = Reply::refused();
    }
    return answer ? *answer : Reply::refused();
}

// Modules that take block commands: those in a loader-2 session, and for data also those
// receiving loader 2. The one in the highest slot answers; the others work silently.
std::vector<AmplifierModule*> blockReceivers(const Rack& rack, char command) {
    std::vector<AmplifierModule*> receivers;
    for (auto* m : amplifierModules(rack))
        if (m->participating() || (command == 'D' && m->takesLoader2Data())) receivers.push_back(m);
    return receivers;
}

Reply blockCommand(char command, std::string_view fields, const std::vector<AmplifierModule*>& to) {
    switch (command) {
        case 'B': {
            if (fields.size() != 6) return Reply::refused();
            const auto bank = parseHex(fields.substr(0, 2));
            const auto block = parseHex(fields.substr(2, 4));
            if (!bank || !block) return Reply::refused();
            for (auto* m : to) m->receiveBlockAddress(static_cast<size_t>(*bank * 512 + *block));
            return Reply::accepted();
        }
        case 'D': {
            std::optional<std::vector<uint8_t>> data;
            if (!fields.empty()) {
                data = decodeHex(fields);
                if (!data || data->size() != kBlockSize) return Reply::refused();
            }
            for (auto* m : to) {
                if (m->takesLoader2Data()) m->receiveLoader2Data(data.value_or(std::vector<uint8_t>(kBlockSize, 0xFF)));
                else m->receiveBlockData(data);
            }
            return Reply::accepted();
        }
        case 'P':
        case 'F': {
            std::vector<uint8_t> answer;
            for (auto* m : to) {
                auto now = command == 'P' ? m->programLastBlock() : m->programLastPair();
                if (m == to.back()) answer = std::move(now);
            }
            if (answer.empty()) return Reply::raw(std::string("\xEE\x01", 2));
            return Reply::raw(checkAnswer(answer),
                              command == 'P' ? timing::kProgramBlockMs : timing::kProgramPairMs);
        }
        default:
            return Reply::refused();
    }
}

std::optional<Reply> blockOnBus(AmplifierModule& self, char command, std::string_view fields,
                                const Rack& rack) {
    auto receivers = blockReceivers(rack, command);
    if (receivers.empty() || receivers.back() != &self) return std::nullopt;
    receivers.erase(std::remove_if(receivers.begin(), receivers.end(),
                                   [](AmplifierModule* m) { return !m->powered(); }),
                    receivers.end());
    if (!self.powered()) {
        if (!receivers.empty()) (void)blockCommand(command, fields, receivers);
        return Reply::none();
    }
    return blockCommand(command, fields, receivers);
}

// The loader address a command carries, where it has one.
std::optional<int> addressOf(int group, char command, std::string_view fields) {
    if (group == 7 && command == 'U') return parseHex(fields.substr(0, 2));
    if (command == 'Z' || command == 'Q') return fields.size() == 4 ? parseHex(fields.substr(2, 2)) : std::nullopt;
    if (command == 'X' && fields.size() == 4) return std::nullopt;  // older series: no address
    if (std::string_view("IKASXLHC").find(command) == std::string_view::npos) return std::nullopt;
    if (group == 3 && (command == 'A' || command == 'S')) return std::nullopt;
    return parseHex(fields.substr(0, 2));
}

// Commands of the older series' loaders that carry no address: the module in loader 1 or in
// its loader-2 session answers.
AmplifierModule* olderSeriesTarget(const Rack& rack, char command) {
    AmplifierModule* target = nullptr;
    for (auto* m : amplifierModules(rack)) {
        if (m->config().firmwareType != 1) continue;
        const bool inLoader = m->layer() != Layer::Application;
        if ((command == 'X' && m->layer() == Layer::Loader2) || (command != 'X' && inLoader))
            target = m;
    }
    return target;
}

AmplifierModule* rebuildingModule(const Rack& rack) {
    AmplifierModule* target = nullptr;
    for (auto* m : amplifierModules(rack))
        if (m->rebuildingLoader1()) target = m;
    return target;
}

std::optional<Reply> loaderOnBus(AmplifierModule& self, std::string_view line, Rack& rack) {
    // "PRC1,<group>,<command><fields>"
    if (line.size() < 8 || line[6] != ',') return std::nullopt;
    const int group = line[5] - '0';
    const char command = line[7];
    const std::string_view fields = line.substr(8);
    if (group != 2 && group != 3 && group != 6 && group != 7) return std::nullopt;
    if (group == 2 && std::string_view("BDPF").find(command) != std::string_view::npos)
        return blockOnBus(self, command, fields, rack);
    if (group == 7 && command == 'B') {
        if (blockReceivers(rack, 'B').empty() || blockReceivers(rack, 'B').back() != &self)
            return std::nullopt;
        for (auto* m : blockReceivers(rack, 'B')) m->eraseExternalForSession();
        return self.powered() ? Reply::accepted(timing::kExternalEraseMs) : Reply::none();
    }
    const auto address = addressOf(group, command, fields);
    if (!address) {
        if (group == 3 || command == 'X' || (group == 6 && command == 'D')) {
            AmplifierModule* target = group == 6 ? rebuildingModule(rack)
                                                  : olderSeriesTarget(rack, command);
            if (target != &self) return std::nullopt;
            if (!self.powered()) return Reply::none();
            return self.loaderCommand(group, command, fields, rack);
        }
        return std::nullopt;
    }
    if (*address != self.loaderAddress()) return std::nullopt;
    if (!self.powered()) return Reply::none();
    return self.loaderCommand(group, command, fields, rack);
}

}  // namespace

std::vector<AmplifierModule*> amplifierModules(const Rack& rack) {
    std::vector<AmplifierModule*> modules;
    for (int slot = 0; slot < Rack::kSlots; ++slot)
        if (auto* m = dynamic_cast<AmplifierModule*>(rack.slot(slot))) modules.push_back(m);
    return modules;
}

std::optional<Reply> handleOnBus(AmplifierModule& self, std::string_view line, Rack& rack) {
    const bool isLead = lead(rack) == &self;
    if (line.starts_with("CHS")) return isLead ? std::optional(selectChannels(line.substr(3), rack)) : std::nullopt;
    if (line.starts_with("PCS")) return isLead ? std::optional(selectBoardChannel(line.substr(3), rack)) : std::nullopt;
    if (line == "PRC1,5") return isLead ? std::optional(channelCheck(rack)) : std::nullopt;
    if (line.starts_with("PRC1,")) return loaderOnBus(self, line, rack);
    if (isApplicationCommand(line)) return applicationOnBus(self, line, rack);
    return std::nullopt;
}

}  // namespace rack::amplifier
