#pragma once
// Runs ventrix-sim as a child process (end-to-end tests, benchmarks): starts it, reads where it
// listens from its first stdout line, and stops it with SIGTERM when destroyed.
#include <string>
#include <sys/types.h>
#include <vector>

namespace rack::sim {

class SimProcess {
public:
    // Throws std::runtime_error when the program cannot start or prints no listening line in time.
    SimProcess(const std::string& program, const std::vector<std::string>& arguments);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // What follows "listening tcp " or "listening pty ": "127.0.0.1:40123" or "/dev/pts/4".
    const std::string& where() const { return where_; }
    // Sends SIGTERM and waits; the exit status (0 = clean end).
    int stop();

private:
    pid_t pid_ = -1;
    std::string where_;
};

}  // namespace rack::sim
