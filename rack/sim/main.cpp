// ventrix-sim: the simulated rack as a program of its own, on a TCP port or a pseudo-terminal.
// The first line on stdout says where it listens ("listening tcp 127.0.0.1:40123",
// "listening pty /dev/pts/3"); events go to stderr. SIGINT or SIGTERM end it. With --replay it
// plays a recorded traffic log back instead of simulating a rack, and says on stderr which
// command first differed from the recording.
#include <CLI/CLI.hpp>
#include <csignal>
#include <iostream>

#include "rack/core/rack_file.h"
#include "rack/replay/replay_component.h"
#include "rack/sim/pty_server.h"
#include "rack/sim/tcp_server.h"

namespace {

rack::sim::StopSignal* stopSignal = nullptr;

extern "C" void onSignal(int) {
    if (stopSignal) stopSignal->request();
}

void installSignalHandlers(rack::sim::StopSignal& stop) {
    stopSignal = &stop;
    struct sigaction action{};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

struct ServeOptions {
    std::string tcp;
    bool pty = false;
    int baud = 0;
    bool quiet = false;
};

void serve(rack::Rack& rack, const ServeOptions& options) {
    linkpad::RealClock clock;
    rack::sim::StopSignal stop;
    installSignalHandlers(stop);
    rack::sim::EventLog log;
    if (!options.quiet) log = [](const std::string& event) { std::cerr << "ventrix-sim: " << event << std::endl; };
    if (options.pty) {
        rack::sim::PtyServer server(rack, clock, options.baud, log);
        std::cout << "listening pty " << server.path() << std::endl;
        server.run(stop);
    } else {
        rack::sim::TcpServer server(rack, clock, options.tcp, log);
        std::cout << "listening tcp " << server.address() << std::endl;
        server.run(stop);
    }
}

// Exit code 0 when every command so far was the recorded one, 2 at a difference.
int replay(const std::string& logPath, bool keepDelays, const ServeOptions& options) {
    rack::replay::ReplayComponent* component = nullptr;
    rack::replay::ReplayOptions replayOptions{keepDelays, [](const std::string& difference) {
                                                  std::cerr << "ventrix-sim: replay: first difference at " << difference
                                                            << std::endl;
                                              }};
    auto rack = rack::replay::replayRack(logPath, replayOptions, component);
    serve(*rack, options);
    std::cerr << "ventrix-sim: replay: " << component->played() << " of " << component->recorded()
              << " commands as recorded" << std::endl;
    return component->firstDifference().empty() ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"ventrix-sim: a simulated Ventrix rack for Quorvel and Quorlink"};
    std::string rackFile;
    std::string replayLog;
    bool fast = false;
    ServeOptions options{"127.0.0.1:5025"};
    auto* rackOption = app.add_option("--rack", rackFile, "rack description file (JSON)")->check(CLI::ExistingFile);
    auto* replayOption = app.add_option("--replay", replayLog, "play this traffic log (comlog.log) back as the rack")
                             ->check(CLI::ExistingFile)
                             ->excludes(rackOption);
    app.add_flag("--fast", fast, "with --replay: answer at once instead of after the recorded delays")->needs(replayOption);
    auto* tcpOption = app.add_option("--tcp", options.tcp, "listen on HOST:PORT (PORT 0 = any free port)")->capture_default_str();
    app.add_flag("--pty", options.pty, "serve a pseudo-terminal instead of TCP")->excludes(tcpOption);
    app.add_option("--baud", options.baud, "with --pty: pace the bytes at this baud rate (11 bits a byte)")
        ->check(CLI::Range(0, 4000000));
    app.add_flag("-q,--quiet", options.quiet, "no connection events on stderr");
    CLI11_PARSE(app, argc, argv);
    if (rackFile.empty() && replayLog.empty()) {
        std::cerr << "ventrix-sim: --rack or --replay is required" << std::endl;
        return 1;
    }
    try {
        if (!replayLog.empty()) return replay(replayLog, !fast, options);
        auto rack = rack::loadRackFile(rackFile);
        serve(*rack, options);
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "ventrix-sim: " << e.what() << std::endl;
        return 1;
    }
}
