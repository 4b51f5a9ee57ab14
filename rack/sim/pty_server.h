#pragma once
// The simulated rack behind a pseudo-terminal: the host opens the printed /dev/pts path as its
// serial port. With a baud rate the bytes are paced at the line rate (11 bits a byte, 8E1).
#include <string>

#include "rack/sim/host_session.h"

namespace rack::sim {

class PtyServer {
public:
    // Creates the pseudo-terminal; throws std::runtime_error.
    PtyServer(Rack& rack, Clock& clock, int baud = 0, EventLog log = {});
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    const std::string& path() const { return path_; }
    // Serves one host after the other until `stop` is requested.
    void run(const StopSignal& stop);

private:
    bool waitForHost(const StopSignal& stop) const;

    Rack& rack_;
    Clock& clock_;
    Clock::duration byteTime_;
    EventLog log_;
    int master_ = -1;
    std::string path_;
};

}  // namespace rack::sim
