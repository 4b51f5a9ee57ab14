#pragma once
// Old processor boot loaders talk only at 9600 baud, 8E1. When the configured line differs, the
// rack is switched to it before the download (after the operator agreed), the download connects
// with it, and the rack is set back to the configured line at the end.
#include "operator/drivers/driver_context.h"
#include "operator/shell/connection_parameters.h"

namespace quorvel {

class SerialLineSwitch {
  public:
    SerialLineSwitch() = default;
    // Needed when the configured rate is not 9600, the parity not even or the stop bits not 1.
    explicit SerialLineSwitch(const ProgramState& state);

    bool needed() const { return needed_; }
    bool switched() const { return switched_; }

    // Asks; on Yes sets the rack to 9600 baud, 8E1 over a connection of its own. False (after
    // "Download canceled!") when the operator said No.
    bool confirmAndSwitch(DriverContext& context);
    // The connection of the download: the configured one, or 9600 baud, 8E1 once switched.
    ConnectionParameters downloadParameters(const ProgramState& state) const;
    // Sets the rack back to the configured rate, parity and stop bits (over the open connection).
    void restore(DriverContext& context);

  private:
    bool needed_ = false;
    bool switched_ = false;
};

// The program's connection parameters replaced for the lifetime of the scope.
class ScopedConnectionParameters {
  public:
    ScopedConnectionParameters(ProgramState& state, const ConnectionParameters& parameters)
        : state_(state), saved_(state.Connection) {
        state_.Connection = parameters;
    }
    ~ScopedConnectionParameters() { state_.Connection = saved_; }
    ScopedConnectionParameters(const ScopedConnectionParameters&) = delete;
    ScopedConnectionParameters& operator=(const ScopedConnectionParameters&) = delete;

  private:
    ProgramState& state_;
    ConnectionParameters saved_;
};

}  // namespace quorvel
