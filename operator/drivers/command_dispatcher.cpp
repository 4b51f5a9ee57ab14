#include "operator/drivers/command_dispatcher.h"

namespace quorvel {

std::function<QString()> FixedLine(const QString& line) {
    return [line] { return line; };
}

void CommandDispatcher::add(const QString& name, Command command) {
    commands_[name] = std::move(command);
}

int CommandDispatcher::dispatch(const QString& name) {
    const auto found = commands_.find(name);
    if (found == commands_.end()) return kUnknownCommand;
    if (context_.state().Busy) return kBusy;
    const Command& command = found->second;
    if (command.protocolLine) {
        const QString line = command.protocolLine();
        if (!line.isEmpty()) context_.WriteProtocol(line);
    }
    if (!command.guardQuestion.isEmpty() &&
        context_.ShowMessage(command.guardQuestion, kYesNo | kIconExclamation) != kAnswerYes) {
        return kDeclined;
    }
    const int result = command.run ? command.run() : 0;
    context_.state().LastResult = result;
    return result;
}

}  // namespace quorvel
