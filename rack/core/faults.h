#pragma once
// Fault injection: a rule picks commands by pattern and occurrence and spoils their answer.
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace rack {

enum class FaultAction {
    Drop,      // no answer
    Garble,    // first answer byte changed
    Delay,     // answer delayed by delayMs
    Question,  // answer "?" instead
    Close,     // the connection is cut instead of answering
    PowerOff   // the component that owns the command loses power; no answer
};

struct FaultRule {
    std::string pattern;   // ECMAScript regular expression searched in the command line
    int occurrence = 1;    // 1 = first match, 2 = second, ...; 0 = every match
    FaultAction action = FaultAction::Drop;
    int delayMs = 0;       // for Delay
    int remaining = -1;    // how often the rule fires at most; -1 = no limit (with occurrence 0)
};

struct FaultDecision {
    FaultAction action;
    int delayMs = 0;
};

class FaultInjector {
public:
    void add(FaultRule rule);
    void clear();
    // Counts the command against every rule; the first rule that fires decides.
    std::optional<FaultDecision> check(const std::string& line);
    size_t fired() const { return fired_; }

private:
    struct Entry {
        FaultRule rule;
        std::regex regex;
        int seen = 0;
    };
    std::vector<Entry> rules_;
    size_t fired_ = 0;
};

FaultRule faultRuleFromJson(const nlohmann::json& j);
FaultAction faultActionFromName(const std::string& name);

}  // namespace rack
