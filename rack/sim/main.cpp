// ventrix-sim: the simulated rack as a program of its own, on a TCP port or a pseudo-terminal.
// The first line on stdout says where it listens ("listening tcp 127.0.0.1:40123",
// "listening pty /dev/pts/3"); events go to stderr. SIGINT or SIGTERM end it.
#include <CLI/CLI.hpp>
#include <csignal>
#include <iostream>

#include "rack/core/rack_file.h"
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

int serve(const std::string& rackFile, const std::string& tcp, bool pty, int baud, bool quiet) {
    auto rack = rack::loadRackFile(rackFile);
    linkpad::RealClock clock;
    rack::sim::StopSignal stop;
    installSignalHandlers(stop);
    rack::sim::EventLog log;
    if (!quiet) log = [](const std::string& event) { std::cerr << "ventrix-sim: " << event << std::endl; };
    if (pty) {
        rack::sim::PtyServer server(*rack, clock, baud, log);
        std::cout << "listening pty " << server.path() << std::endl;
        server.run(stop);
    } else {
        rack::sim::TcpServer server(*rack, clock, tcp, log);
        std::cout << "listening tcp " << server.address() << std::endl;
        server.run(stop);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"ventrix-sim: a simulated Ventrix rack for Quorvel and Quorlink"};
    std::string rackFile;
    std::string tcp = "127.0.0.1:5025";
    bool pty = false;
    int baud = 0;
    bool quiet = false;
    app.add_option("--rack", rackFile, "rack description file (JSON)")->required()->check(CLI::ExistingFile);
    auto* tcpOption = app.add_option("--tcp", tcp, "listen on HOST:PORT (PORT 0 = any free port)")->capture_default_str();
    app.add_flag("--pty", pty, "serve a pseudo-terminal instead of TCP")->excludes(tcpOption);
    app.add_option("--baud", baud, "with --pty: pace the bytes at this baud rate (11 bits a byte)")
        ->check(CLI::Range(0, 4000000));
    app.add_flag("-q,--quiet", quiet, "no connection events on stderr");
    CLI11_PARSE(app, argc, argv);
    try {
        return serve(rackFile, tcp, pty, baud, quiet);
    } catch (const std::exception& e) {
        std::cerr << "ventrix-sim: " << e.what() << std::endl;
        return 1;
    }
}
