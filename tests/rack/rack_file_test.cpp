// Rack description files: what a good one builds, and errors that name the problem.
#include <filesystem>
#include <fstream>

#include "rack_fixture.h"
#include "temp_dir.h"

using namespace rack_testing;

namespace {

std::string errorOf(const nlohmann::json& description) {
    try {
        rack::buildRack(description);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "<no error>";
}

class RackFileTest : public ::testing::Test {
  protected:
    std::filesystem::path write(const std::string& text) {
        testing_support::writeFile(dir_.file("rack.json"), text);
        return dir_.file("rack.json");
    }

  private:
    testing_support::TempDir dir_;
};

TEST_F(RackFileTest, EveryShippedRackLoads) {
    const std::filesystem::path racks = std::filesystem::path(QUORVEL_SOURCE_DIR) / "rack/racks";
    for (const auto& entry : std::filesystem::directory_iterator(racks)) {
        auto rack = rack::loadRackFile(entry.path().string());
        EXPECT_NE(rack->processor(), nullptr) << entry.path();
    }
}

// What the processor of a shipped rack answers: the scan reads type, loader and boot state so.
class ShippedProcessorTest : public RackTest {};

TEST_F(ShippedProcessorTest, AnswersFollowTheRackFile) {
    struct Case {
        std::string file, identity, loaderRevision;
    };
    for (const Case& c : std::vector<Case>{
             {"default.json", "QTX,KX43,0,P1.41", "P1.41"},
             {"processor-kx63.json", "QTX,KX63,0,P2.10", "2.10"},
             {"processor-kx13.json", "QTX,KX13,0,P1.20", "P1.20"},
             {"processor-kx43-bootloader.json", "QTX-KX43B-Bootstraploader,2.10", "P2.06"}}) {
        std::ifstream file(std::string(QUORVEL_SOURCE_DIR) + "/rack/racks/" + c.file);
        build(nlohmann::json::parse(file));
        send("\x12");
        EXPECT_EQ(ask("IDN?"), c.identity + "\r\n") << c.file;
        EXPECT_EQ(ask("PRC?11"), c.loaderRevision + "\r\n") << c.file;
    }
}

TEST_F(RackFileTest, TimingAndIdentityAreTaken) {
    auto rack = rack::loadRackFile(write(R"({"timing": {"resetMs": 150},
        "processor": {"kind": "KX33", "identity": "QTX,KX33,0,P3.10"}})")
                                       .string());
    EXPECT_EQ(rack->timing().resetMs, 150);
    EXPECT_EQ(rack->processor()->name(), "KX33");
}

TEST_F(RackFileTest, ErrorsNameTheFileAndTheProblem) {
    const auto path = write(R"({"processor": {"kind": "KX99"}})").string();
    try {
        rack::loadRackFile(path);
        FAIL() << "no error";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("unknown component kind \"KX99\""), std::string::npos)
            << e.what();
    }
}

TEST_F(RackFileTest, BrokenJsonAndMissingFile) {
    EXPECT_THROW(rack::loadRackFile(write("{\"processor\": ").string()), std::runtime_error);
    try {
        rack::loadRackFile("/no/such/rack.json");
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("cannot open rack file /no/such/rack.json"),
                  std::string::npos);
    }
}

TEST_F(RackFileTest, BadEntriesAreRefused) {
    EXPECT_NE(errorOf({{"slots", {{{"slot", 16}, {"kind", "KX43"}}}}}).find("slot 16 is not 0-15"),
              std::string::npos);
    EXPECT_NE(
        errorOf({{"slots", {{{"slot", 2}, {"kind", "KX43"}}, {{"slot", 2}, {"kind", "KX43"}}}}})
            .find("slot 2 is described twice"),
        std::string::npos);
    EXPECT_NE(errorOf({{"faults", {{{"pattern", "IDN"}, {"action", "explode"}}}}})
                  .find("unknown fault action \"explode\""),
              std::string::npos);
    EXPECT_NE(errorOf({{"faults", {{{"pattern", "(IDN"}}}}}).find("pattern"), std::string::npos);
}

TEST_F(RackFileTest, WrongShapesNameTheFieldAndWhatBelongsThere) {
    using nlohmann::json;
    const std::pair<json, const char*> cases[] = {
        {json::parse(R"({"slots": "RA51"})"), "slots should hold a list [ ... ], not string \"RA51\""},
        {json::parse(R"({"slots": ["RA51"]})"), "slots[0] should hold an object { ... }, not string"},
        {json::parse(R"({"slots": [{"slot": "3", "kind": "RA51"}]})"),
         "slots[0].slot should hold a whole number, not string \"3\""},
        {json::parse(R"({"slots": [{"slot": 3, "kind": "RA51", "version": 2.06}]})"),
         "slots[0].version should hold a text in double quotes, not number 2.06"},
        {json::parse(R"({"slots": [{"slot": 3}]})"), "slots[0] needs \"kind\""},
        {json::parse(R"({"slots": [{"slot": 8, "kind": "RA56", "nodes": [{"id": 2, "serial": "x"}]}]})"),
         "slots[0].nodes[0].serial should hold a whole number"},
        {json::parse(R"({"timing": {"resetMs": true}})"), "timing.resetMs should hold a whole number"},
        {json::parse(R"({"panel": {"kind": "DV43A", "bootstrap": "yes"}})"),
         "panel.bootstrap should hold true or false"},
        {json::parse(R"([1, 2])"), "the rack description should be an object"},
    };
    for (const auto& [description, expected] : cases) {
        EXPECT_NE(errorOf(description).find(expected), std::string::npos)
            << description.dump() << " -> " << errorOf(description);
    }
}

}  // namespace
