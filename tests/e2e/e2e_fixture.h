#pragma once
// End-to-end tests: ventrix-sim runs as a process of its own with a rack file whose reset is
// short, and the library talks to it over real TCP or a pseudo-terminal on the real clock.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "link/quorlink.h"
#include "link_fixture.h"
#include "linkpad/linkpad.h"
#include "rack/sim/sim_process.h"

namespace e2e {

class SimProcessTest : public ::testing::Test {
protected:
    SimProcessTest() {
        dir_ = std::filesystem::temp_directory_path() /
               ("quorvel-e2e-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
        reports.clear();
    }
    ~SimProcessTest() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }

    // Writes the rack file and starts the simulator with it and the given serving arguments.
    std::unique_ptr<rack::sim::SimProcess> start(const nlohmann::json& rackDescription,
                                                 std::vector<std::string> serving) {
        const auto file = (dir_ / "rack.json").string();
        std::ofstream(file) << rackDescription.dump(2);
        serving.insert(serving.begin(), {"--rack", file});
        return std::make_unique<rack::sim::SimProcess>(VENTRIX_SIM_PROGRAM, serving);
    }

    static std::string trafficLog() {
        std::ifstream in("comlog.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Asks the rack one question over a fresh port, through the port library alone.
    static std::string askRack(int portKind, int parameter, const std::string& address, const char* command) {
        if (QTX_OpenPort(portKind, parameter, address.c_str(), 8, 1, 4096) != 0) return "<no port>";
        std::string answer = "<no answer>";
        if (QTX_ActivateInterpreter(1500) == 0 && QTX_WritePort(command) == 0) {
            char buffer[100] = {};
            int32_t count = 0;
            int32_t status = 0;
            if (QTX_ReadPort(buffer, 100, &count, &status, 10) == 0) answer = buffer;
        }
        QTX_ClosePort();
        return answer;
    }

    static nlohmann::json rackWithShortReset() {
        return {{"timing", {{"resetMs", 300}}},
                {"processor", {{"kind", "KX43"}, {"identity", "QTX,KX43,0,P1.41"}, {"version", "P1.41"},
                               {"baudSetting", "9600,2,1,0"}}}};
    }

    testing_support::Reports& reports = testing_support::Reports::current();

private:
    std::filesystem::path dir_;
    std::filesystem::path previous_;
};

}  // namespace e2e
