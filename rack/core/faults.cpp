#include "rack/core/faults.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

namespace rack {

namespace {
std::regex compiled(const std::string& pattern) {
    try {
        return std::regex(pattern, std::regex::ECMAScript);
    } catch (const std::regex_error& e) {
        throw std::invalid_argument("fault pattern \"" + pattern + "\" is not a regular expression: " + e.what());
    }
}
}  // namespace

void FaultInjector::add(FaultRule rule) {
    std::regex regex = compiled(rule.pattern);
    if (rule.remaining < 0 && rule.occurrence > 0) rule.remaining = 1;
    rules_.push_back({std::move(rule), std::move(regex), 0});
}

void FaultInjector::clear() {
    rules_.clear();
    fired_ = 0;
}

std::optional<FaultDecision> FaultInjector::check(const std::string& line) {
    std::optional<FaultDecision> decision;
    for (auto& entry : rules_) {
        if (!std::regex_search(line, entry.regex)) continue;
        ++entry.seen;
        if (decision || entry.rule.remaining == 0) continue;
        const bool due = entry.rule.occurrence == 0 || entry.seen == entry.rule.occurrence;
        if (!due) continue;
        if (entry.rule.remaining > 0) --entry.rule.remaining;
        decision = FaultDecision{entry.rule.action, entry.rule.delayMs};
        ++fired_;
    }
    return decision;
}

FaultAction faultActionFromName(const std::string& name) {
    if (name == "drop") return FaultAction::Drop;
    if (name == "garble") return FaultAction::Garble;
    if (name == "delay") return FaultAction::Delay;
    if (name == "question") return FaultAction::Question;
    if (name == "close") return FaultAction::Close;
    if (name == "poweroff") return FaultAction::PowerOff;
    throw std::invalid_argument("unknown fault action \"" + name + "\"");
}

FaultRule faultRuleFromJson(const nlohmann::json& j) {
    FaultRule rule;
    rule.pattern = j.at("pattern").get<std::string>();
    rule.occurrence = j.value("occurrence", 1);
    rule.action = faultActionFromName(j.value("action", std::string("drop")));
    rule.delayMs = j.value("delayMs", 0);
    rule.remaining = j.value("times", -1);
    return rule;
}

}  // namespace rack
