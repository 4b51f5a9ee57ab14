// link-demo: opens a connection to a rack over TCP through the library's exports with the
// traffic log on, sends the system commands, prints each result and the traffic log, closes.
// Usage: link-demo HOST[:PORT] [RESET_SECONDS]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "link/quorlink.h"

namespace {

std::string fetchMessage() {
    std::string text(600, '\0');
    text.resize(static_cast<size_t>(SendString(text.data())));
    return text;
}

void QUORLINK_CALL onMessage(int32_t kind) {
    std::cout << (kind == 0 ? "  ! " : "  i ") << fetchMessage() << '\n';
}

void QUORLINK_CALL onProgress(int32_t percent) { std::cout << "  progress " << percent << "%\n"; }

void result(const char* what, int32_t code) {
    std::cout << what << " -> " << code << (code == 0 ? " (ok)" : " (failed)") << std::endl;
}

void printTrafficLog() {
    std::ifstream log("comlog.log");
    std::cout << "\n---- traffic log (comlog.log) ----\n" << log.rdbuf() << "---- end of traffic log ----\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: link-demo HOST[:PORT] [RESET_SECONDS]\n";
        return 2;
    }
    const char* address = argv[1];
    const int resetSeconds = argc > 2 ? std::atoi(argv[2]) : 1;
    std::remove("comlog.log");

    const int32_t opened = OpenConnection(100, 0, address, 0, 0, 6000, onMessage, -1, 1);
    result("OpenConnection (TCP, traffic log on)", opened);
    if (opened != 0) return 1;

    char version[40] = {};
    int32_t length = 0;
    const int32_t checked = CheckVersion(version, &length);
    result("CheckVersion", checked);
    if (checked == 0) std::cout << "  processor firmware: " << version << '\n';
    result("SetBdrVTX mode 2 (9600 baud, even parity, 1 stop bit)", SetBdrVTX(9600, 3000, onMessage, 2, "e", 1));
    result("MultiMasterMode", MultiMasterMode(onMessage, onProgress, 0));
    result(("ResetVTX (" + std::to_string(resetSeconds) + " s)").c_str(), ResetVTX(onMessage, onProgress, resetSeconds));
    result("CloseConnection", CloseConnection());
    printTrafficLog();
    return 0;
}
