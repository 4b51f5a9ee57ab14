#pragma once
// Maps each menu entry and toolbar button to what it starts: its protocol line, the question
// that guards it and its driver. Front ends call dispatch() with the entry's name; drivers of
// every device family register themselves with add().
#include <QString>
#include <functional>
#include <map>

#include "operator/drivers/driver_context.h"

namespace quorvel {

struct Command {
    // The line written to the protocol first; may depend on the selection. Empty: none.
    std::function<QString()> protocolLine;
    // Asked with Yes/No and exclamation after the protocol line; only Yes runs the driver.
    QString guardQuestion;
    // The driver; returns its result (0 done, negative failed).
    std::function<int()> run;
};

class CommandDispatcher {
  public:
    static constexpr int kUnknownCommand = -900;
    static constexpr int kDeclined = -255;
    static constexpr int kBusy = -901;

    explicit CommandDispatcher(DriverContext& context) : context_(context) {}

    void add(const QString& name, Command command);
    bool contains(const QString& name) const { return commands_.contains(name); }

    // Runs the command: protocol line, guard question, driver. Refused while another operation
    // runs (Busy). The driver's result is also the program's last result.
    int dispatch(const QString& name);

    DriverContext& context() { return context_; }

  private:
    DriverContext& context_;
    std::map<QString, Command> commands_;
};

// A protocol line that does not depend on the selection.
std::function<QString()> FixedLine(const QString& line);

}  // namespace quorvel
