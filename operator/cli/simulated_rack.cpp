#include "operator/cli/simulated_rack.h"

#include <filesystem>

#include "rack/core/rack_file.h"

namespace quorvel::cli {

SimulatedRack::SimulatedRack(const std::string& rackFile)
    : rack_(rack::loadRackFile(rackFile)),
      server_(std::make_unique<rack::sim::TcpServer>(*rack_, clock_, "127.0.0.1:0")),
      thread_([this] { server_->run(stop_); }) {}

SimulatedRack::~SimulatedRack() {
    stop_.request();
    thread_.join();
}

std::string DefaultRackFile() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "default.json";
    return (program.parent_path().parent_path() / "share" / "quorvel" / "racks" / "default.json")
        .string();
}

}  // namespace quorvel::cli
