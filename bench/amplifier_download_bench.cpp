// A type-2 application download (1024 blocks) into two channels against the simulated rack over
// loopback TCP with the real clock. Prints the wall time against the protocol floor (the pauses
// the library must make plus one wire round trip per command, both recorded in this run), the
// time the simulated modules spent working, and the CPU time.
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "link/quorlink.h"
#include "linkpad/hooks.h"
#include "linkpad/linkpad.h"
#include "rack/amplifier/module_timing.h"
#include "rack/core/rack_file.h"
#include "rack/sim/tcp_server.h"
#include "tools/fwgen/amplifier_set.h"

namespace {

// The real clock, adding up every protocol pause the library makes.
class RecordingClock final : public linkpad::Clock {
public:
    time_point now() const override { return real_.now(); }
    void waitMs(int ms) override {
        pausedMs += ms;
        real_.waitMs(ms);
    }
    void sleepUntil(time_point t) override { real_.sleepUntil(t); }
    std::atomic<long> pausedMs{0};

private:
    linkpad::RealClock real_;
};

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// What the modules spend on the commands of the measured part.
long moduleMs(const std::vector<std::string>& lines, size_t from) {
    namespace t = rack::amplifier::timing;
    long ms = 0;
    for (size_t i = from; i < lines.size(); ++i) {
        const auto& l = lines[i];
        if (l.starts_with("PRC1,2,L") || l.starts_with("PRC1,3,L")) ms += t::kBankEraseMs;
        else if (l.starts_with("PRC1,7,B")) ms += t::kExternalEraseMs;
        else if (l == "PRC1,2,P") ms += t::kProgramBlockMs;
        else if (l == "PRC1,2,F") ms += t::kProgramPairMs;
    }
    return ms;
}

// The shortest round trip of one command over the open connection: what a command costs on the
// wire, with no pause and no module work in it.
double wireRoundTripSeconds() {
    double best = 1.0;
    char answer[256];
    for (int i = 0; i < 50; ++i) {
        const auto start = std::chrono::steady_clock::now();
        QTX_WritePort("IDN?\r\n");
        int32_t count = 0;
        int32_t status = 0;
        QTX_ReadPort(answer, sizeof answer, &count, &status, 10);
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

void quiet(int32_t) {}

int check(const char* what, int result) {
    if (result != 0) std::fprintf(stderr, "%s failed: %d\n", what, result);
    return result;
}

}  // namespace

int main() {
    RecordingClock clock;
    linkpad::ScopedClock scoped(clock);
    const auto& model = fwgen::amplifierModel(2);
    const auto firmware = fwgen::amplifierFirmware(model);
    const auto dir = std::filesystem::temp_directory_path() / "amplifier-download-bench";
    std::filesystem::create_directories(dir);
    const auto app = (dir / firmware.applicationName).string(), ld2 = (dir / firmware.loader2Name).string();
    std::ofstream(app) << firmware.applicationText;
    std::ofstream(ld2) << firmware.loader2Text;

    nlohmann::json slots = nlohmann::json::array();
    for (int slot : {2, 5})
        slots.push_back({{"slot", slot}, {"kind", model.model}, {"firmwareType", 2}, {"moduleCode", model.moduleCode}});
    auto rack = rack::buildRack({{"processor", {{"kind", "KX43"}}}, {"slots", slots}});
    rack::sim::TcpServer server(*rack, clock, "127.0.0.1:0");
    rack::sim::StopSignal stop;
    std::thread serving([&] { server.run(stop); });

    int failed = check("OpenConnection", OpenConnection(QTX_PORT_TCP, 0, server.address().c_str(), 0, 0, 6000, quiet, -1, 0));
    char id[256];
    int32_t length = 0;
    for (int c : {2, 5})
        failed = failed ? failed : check("Switch2Loader1", Switch2Loader1(6000, c, 0, quiet, id, &length, model.moduleCode, 0, 2, 2, 1, 0, c == 5 ? 0xFF : 0x55));
    failed = failed ? failed : check("DownLoader2", DownLoader2(6000, 0, 0, quiet, quiet, ld2.c_str(), 2));
    for (int c : {2, 5}) failed = failed ? failed : check("Switch2Loader2", Switch2Loader2(6000, c, 0, quiet, id, &length, 2, 1));

    const double roundTrip = wireRoundTripSeconds();
    const size_t firstLine = rack->received().size();
    const long pausesBefore = clock.pausedMs;
    const double cpuBefore = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    failed = failed ? failed : check("DownApplication", DownApplication(6000, 2, 0, quiet, quiet, app.c_str(), model.moduleCode, (1 << 2) | (1 << 5), 2, 0, 0, 0));
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = cpuSeconds() - cpuBefore;
    CloseConnection();
    stop.request();
    serving.join();
    std::filesystem::remove_all(dir);
    if (failed) return 1;

    const double pauses = static_cast<double>(clock.pausedMs - pausesBefore) / 1000.0;
    const double wire = static_cast<double>(rack->received().size() - firstLine) * roundTrip;
    const double modules = static_cast<double>(moduleMs(rack->received(), firstLine)) / 1000.0;
    const double floor = pauses + wire;
    std::printf("amplifier type-2 download, 1024 blocks, 2 channels, loopback TCP\n");
    std::printf("  wall %.3f s, protocol floor %.3f s (pauses %.3f s + wire %.3f s), ratio %.4f\n", wall, floor,
                pauses, wire, wall / floor);
    std::printf("  the simulated modules worked %.3f s of the rest (not in the floor: the rack's, not the library's)\n",
                modules);
    std::printf("  cpu %.3f s, %.1f %% of wall (goal <= 10 %%)\n", cpu, 100.0 * cpu / wall);
    return 0;
}
