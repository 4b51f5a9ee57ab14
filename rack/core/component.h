#pragma once
// One simulated part of the rack (processor, panel, an amplifier module, ...). The rack offers
// every command line to its components in order; the first that claims it answers.
#include <optional>
#include <string>
#include <string_view>

#include "rack/core/reply.h"

namespace rack {

class Rack;

// How the host ends the command lines a component takes.
enum class Framing {
    CrLf,     // CR LF; a line ended by LF alone is not for it
    LfAlone,  // LF alone; a line ended by CR LF is not for it
    Either,
};

class Component {
public:
    virtual ~Component() = default;
    virtual std::string name() const = 0;

    // A command line without its line end; nullopt = not this component's command.
    virtual std::optional<Reply> handle(std::string_view line, Rack& rack) = 0;
    // The line end this component insists on for `line`; a line with the other end is not
    // offered to it (and gets "?" when no other component takes it).
    virtual Framing framing(std::string_view line) const {
        (void)line;
        return Framing::CrLf;
    }

    // Raw bytes while this component holds the byte stream (see Rack::captureBytes).
    virtual void rawBytes(std::string_view bytes, Rack& rack) {
        (void)bytes;
        (void)rack;
    }
    // The serial line's break condition changed.
    virtual void breakCondition(bool on, Rack& rack) {
        (void)on;
        (void)rack;
    }
    // The whole rack restarts ("RST" or power cycle): loaders fall back to what flash starts.
    virtual void rackReset(Rack& rack) { (void)rack; }
    // The component was placed in the rack (a part that owns the serial line from power-on, such
    // as a controller in bootstrap mode, takes the byte stream here).
    virtual void attached(Rack& rack) { (void)rack; }

    // Power: a powered-off component must answer Reply::none() to the commands it would have
    // claimed (handle() is still called; it checks powered() first).
    void setPowered(bool on) { powered_ = on; }
    bool powered() const { return powered_; }

private:
    bool powered_ = true;
};

}  // namespace rack
