// Processor loader benchmark: a KX43 full-firmware update and start over loopback TCP, and a
// KX33 update of 1024 blocks. Each runs once on the virtual clock against the in-process rack,
// which gives the protocol floor (every pause and modelled board time, no transport), and once
// on the real clock against the simulator's TCP server. Prints wall / floor and CPU seconds.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>

#include "link/quorlink.h"
#include "linkpad/hooks.h"
#include "rack/core/rack_file.h"
#include "bench/served_rack.h"
#include "tests/support/temp_dir.h"
#include "tools/fwgen/processor_firmware.h"

namespace {

using Seconds = std::chrono::duration<double>;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The loader run between OpenConnection and CloseConnection; 0 = success.
using Run = std::function<int()>;

// Protocol floor: the same run on the virtual clock against the in-process rack.
double floorSeconds(const nlohmann::json& description, const Run& run) {
    linkpad::VirtualClock clock;
    linkpad::ScopedClock useClock(clock);
    std::shared_ptr<rack::Rack> rack = rack::buildRack(description);
    linkpad::ScopedTransportFactory useRack(linkpad::peerFactory(rack));
    if (OpenConnection(100, 0, "127.0.0.1:5025", 0, 0, 6000, nullptr, -1, 0) != 0) return -1;
    const auto start = clock.now();
    const int result = run();
    const auto end = clock.now();
    CloseConnection();
    return result == 0 ? Seconds(end - start).count() : -1;
}

struct Measured {
    double wall = -1;
    double cpu = 0;
};

Measured overTcp(const nlohmann::json& description, const Run& run) {
    testing_support::ServedRack served(description, testing_support::ServedRack::Over::Tcp);
    if (OpenConnection(100, 0, served.where().c_str(), 0, 0, 6000, nullptr, -1, 0) != 0) return {};
    const double cpuBefore = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const int result = run();
    const auto end = std::chrono::steady_clock::now();
    Measured measured{result == 0 ? Seconds(end - start).count() : -1, cpuSeconds() - cpuBefore};
    CloseConnection();
    return measured;
}

void report(const char* name, const nlohmann::json& description, const Run& run) {
    const double floor = floorSeconds(description, run);
    const Measured real = overTcp(description, run);
    if (floor <= 0 || real.wall <= 0) {
        std::printf("%-40s failed\n", name);
        return;
    }
    std::printf("%-40s wall %7.2f s  floor %7.2f s  ratio %.3f  cpu %5.2f s\n", name, real.wall,
                floor, real.wall / floor, real.cpu);
}

}  // namespace

int main() {
    testing_support::TempDir directory;
    fwgen::writeKx43Firmware(directory.path(), "P3.10");
    const std::string list = fwgen::kx43FileList(fwgen::kx43FirmwareFiles());
    const nlohmann::json kx43 = {
        {"processor", {{"kind", "KX43"}, {"version", "P1.41"}, {"restartMs", 600}, {"prepareMs", 100}}}};
    report("KX43 full firmware, update and start", kx43, [&] {
        const int updated = UpdateKX43(6000, nullptr, nullptr, nullptr, nullptr,
                                       directory.path().c_str(), "P3.10", 1, 10, list.c_str(), 1);
        return updated != 0 ? updated : EstabKX43(6000, nullptr, nullptr, nullptr, nullptr, 1, 1);
    });

    const std::string image = directory.file("kx33.bin");
    const auto bytes = fwgen::kx33Image("P2.06", 1024 * 512);
    std::ofstream(image, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const nlohmann::json kx33 = {{"processor", {{"kind", "KX33"}, {"version", "P1.10"}}}};
    report("KX33 update, 1024 blocks of 512 bytes", kx33, [&] {
        return UpdateKX33(6000, nullptr, nullptr, nullptr, nullptr, image.c_str(), "000", 0, 1024,
                          512, 0, 0, 0);
    });
    return 0;
}
