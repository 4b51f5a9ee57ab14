#include "rack/sim/sim_process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

extern char** environ;

namespace rack::sim {

namespace {

constexpr int kStartTimeoutMs = 10000;

// Reads up to the first newline, giving up after the start time-out.
std::string readFirstLine(int fd) {
    std::string line;
    char c = 0;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, kStartTimeoutMs) <= 0) throw std::runtime_error("ventrix-sim did not start in time");
        if (::read(fd, &c, 1) != 1) throw std::runtime_error("ventrix-sim ended before it listened");
        if (c == '\n') return line;
        line += c;
    }
}

}  // namespace

SimProcess::SimProcess(const std::string& program, const std::vector<std::string>& arguments) {
    int out[2];
    if (::pipe(out) < 0) throw std::runtime_error("cannot create a pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> args{program, "--quiet"};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int error = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (error != 0) {
        ::close(out[0]);
        throw std::runtime_error("cannot start " + program);
    }
    try {
        const std::string line = readFirstLine(out[0]);
        ::close(out[0]);
        const auto space = line.rfind(' ');
        if (!line.starts_with("listening ") || space == std::string::npos)
            throw std::runtime_error("unexpected first line from ventrix-sim: " + line);
        where_ = line.substr(space + 1);
    } catch (...) {
        ::close(out[0]);
        stop();
        throw;
    }
}

SimProcess::~SimProcess() { stop(); }

int SimProcess::stop() {
    if (pid_ <= 0) return -1;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace rack::sim
