// Panel bootstrap through ventrix-sim behind a pseudo-terminal paced like a serial line, against
// the floor the line itself sets: every byte both ways at 11 bits, plus the closing 400 ms.
// Prints figures; never fails.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "link/quorlink.h"
#include "linkpad/linkpad.h"
#include "rack/sim/sim_process.h"
#include "tools/fwgen/panel_firmware.h"

namespace {

constexpr int kBaud = 115200;
constexpr size_t kImageSize = 0x80000;
constexpr size_t kBlockSize = 512;
constexpr double kClosingMs = 400.0;

void quiet(int32_t) {}

// Bytes on the line for the image the test firmware gives: block size step, then per block
// header, data unless empty, check byte, and the two acknowledgements back.
size_t lineBytes(const std::vector<uint8_t>& image) {
    size_t bytes = 3 + 1 + 32 + 1 + 300;  // block size step, wake-up, loader, program
    for (size_t at = 0; at < image.size(); at += kBlockSize) {
        if (at >= 0xEE00 && at <= 0xFFFF) continue;
        bool empty = true;
        for (size_t i = at; i < at + kBlockSize; ++i) empty = empty && image[i] == 0;
        bytes += 2 + (empty ? 0 : kBlockSize) + 1 + 2;
    }
    return bytes;
}

}  // namespace

int main() {
    const auto dir = std::filesystem::temp_directory_path() / "quorvel-bench-panel";
    std::filesystem::create_directories(dir);
    const auto files = fwgen::writePanelFirmware(dir.string());
    std::ofstream(dir / "STRAPPER.CFG") << "COM = " << kBaud << ", 8, E, 1\r\n";
    std::ofstream(dir / "rack.json")
        << R"({"processor": {"kind": "KX43"}, "panel": {"kind": "DV43A", "bootstrap": true}})";
    rack::sim::SimProcess sim(VENTRIX_SIM_PROGRAM, {"--rack", (dir / "rack.json").string(), "--pty",
                                                    "--baud", std::to_string(kBaud), "-q"});
    ::setenv("QUORVEL_COM1", sim.where().c_str(), 1);

    const auto start = std::chrono::steady_clock::now();
    const int result =
        BootDV(1, (dir / "STRAPPER.CFG").string().c_str(), files.largeApplication.c_str(),
               files.loaderI.c_str(), nullptr, nullptr, quiet, quiet);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    QTX_ClosePort();

    std::vector<fwgen::Segment> segments = fwgen::panelApplication("P4.10", 0x60000);
    for (auto& segment : fwgen::panelLoaderI()) segments.push_back(segment);
    std::vector<uint8_t> image(kImageSize, 0);
    for (const auto& segment : segments)
        for (size_t i = 0; i < segment.data.size() && segment.address + i < kImageSize; ++i)
            image[segment.address + i] = segment.data[i];
    const double floorMs =
        static_cast<double>(lineBytes(image)) * 11.0 * 1000.0 / kBaud + kClosingMs;
    const double measuredMs = std::chrono::duration<double, std::milli>(elapsed).count();
    std::printf("Panel bootstrap of a 512 KiB image at %d baud through ventrix-sim (pty)\n", kBaud);
    std::printf("  result %d; %.0f ms; line floor %.0f ms; ratio %.3f\n", result, measuredMs,
                floorMs, measuredMs / floorMs);
    std::filesystem::remove_all(dir);
    return 0;
}
