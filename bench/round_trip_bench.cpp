// Command round trip to ventrix-sim over loopback TCP, compared with the 5 ms pause that comes
// before every command: the ratio shows what the port, the simulator and the network add.
// Prints figures; never fails.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "link/quorlink.h"
#include "rack/sim/sim_process.h"

namespace {

constexpr int kCommands = 400;
constexpr int kWarmUp = 20;
constexpr double kPauseMs = 5.0;

void quiet(int32_t) {}

std::string writeRackFile() {
    const auto file = std::filesystem::temp_directory_path() / "quorvel-bench-rack.json";
    std::ofstream(file) << R"({"processor": {"kind": "KX43", "version": "P1.41"}})";
    return file.string();
}

}  // namespace

int main() {
    const std::string rackFile = writeRackFile();
    rack::sim::SimProcess sim(VENTRIX_SIM_PROGRAM, {"--rack", rackFile, "--tcp", "127.0.0.1:0"});
    if (OpenConnection(100, 0, sim.where().c_str(), 0, 0, 3000, quiet, -1, 0) != 0) {
        std::printf("round trip: cannot connect to ventrix-sim at %s\n", sim.where().c_str());
        return 0;
    }
    char version[40];
    int32_t length = 0;
    for (int i = 0; i < kWarmUp; ++i) CheckVersion(version, &length);
    int failures = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kCommands; ++i) failures += CheckVersion(version, &length) != 0;
    const auto elapsed = std::chrono::steady_clock::now() - start;
    CloseConnection();
    std::filesystem::remove(rackFile);

    const double perCommandMs = std::chrono::duration<double, std::milli>(elapsed).count() / kCommands;
    const double ratio = perCommandMs / kPauseMs;
    std::printf("Command round trip to ventrix-sim over loopback TCP (%d x \"PRC?11\")\n", kCommands);
    std::printf("  %.3f ms per command; / 5 ms pause = %.3f   (goal <= 1.04: %s)\n", perCommandMs, ratio,
                ratio <= 1.04 ? "met" : "missed");
    if (failures) std::printf("  %d commands got no answer\n", failures);
    return 0;
}
