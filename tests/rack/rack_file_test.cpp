// Rack description files: what a good one builds, and errors that name the problem.
#include <filesystem>
#include <fstream>

#include "rack_fixture.h"
#include "temp_dir.h"

using namespace rack_testing;

namespace {

template <typename Load>
std::string errorOf(Load load) {
    try {
        load();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "<no error>";
}
std::string errorOf(const nlohmann::json& description) {
    return errorOf([&] { rack::buildRack(description); });
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

// What the processor of a shipped rack answers: the scan reads type, loader and boot state so.
class ShippedProcessorTest : public RackTest {};

TEST_F(ShippedProcessorTest, EveryShippedRackLoadsAndItsProcessorAnswersFollowTheFile) {
    const std::filesystem::path racks = std::filesystem::path(QUORVEL_SOURCE_DIR) / "rack/racks";
    struct Case {
        std::string file, identity, loaderRevision;
    };
    for (const Case& c : std::vector<Case>{
             {"default.json", "QTX,KX43,0,P1.41", "P1.41"},
             {"processor-kx63.json", "QTX,KX63,0,P2.10", "2.10"},
             {"processor-kx13.json", "QTX,KX13,0,P1.20", "P1.20"},
             {"processor-kx43-bootloader.json", "QTX-KX43B-Bootstraploader,2.10", "P2.06"}}) {
        std::ifstream file(racks / c.file);
        build(nlohmann::json::parse(file));
        send("\x12");
        EXPECT_EQ(ask("IDN?"), c.identity + "\r\n") << c.file;
        EXPECT_EQ(ask("PRC?11"), c.loaderRevision + "\r\n") << c.file;
        // Every component survives a rack reset and the processor answers after it.
        EXPECT_EQ(ask("RST"), "<none>") << c.file;
        EXPECT_EQ(ask("\x12IDN?", 1600), c.identity + "\r\n") << c.file;
    }
    for (const auto& entry : std::filesystem::directory_iterator(racks)) {
        EXPECT_NE(rack::loadRackFile(entry.path().string())->processor(), nullptr) << entry.path();
    }
}

// A good file's timing and identity are taken; errors name the file and the problem; broken JSON
// and a missing file are refused; wrong shapes and bad entries name the field and what belongs
// there.
TEST_F(RackFileTest, TimingIdentityErrorsWrongShapesAndBadEntries) {
    auto rack = rack::loadRackFile(write(R"({"timing": {"resetMs": 150},
        "processor": {"kind": "KX33", "identity": "QTX,KX33,0,P3.10"}})")
                                       .string());
    EXPECT_EQ(rack->timing().resetMs, 150);
    EXPECT_EQ(rack->processor()->name(), "KX33");

    const auto path = write(R"({"processor": {"kind": "KX99"}})").string();
    const std::string unknown = errorOf([&] { rack::loadRackFile(path); });
    EXPECT_NE(unknown.find(path), std::string::npos) << unknown;
    EXPECT_NE(unknown.find("unknown component kind \"KX99\""), std::string::npos) << unknown;
    EXPECT_THROW(rack::loadRackFile(write("{\"processor\": ").string()), std::runtime_error);
    EXPECT_NE(errorOf([] {
                  rack::loadRackFile("/no/such/rack.json");
              }).find("cannot open rack file /no/such/rack.json"),
              std::string::npos);

    using nlohmann::json;
    const std::pair<json, const char*> cases[] = {
        {json::parse(R"({"slots": "RA51"})"),
         "slots should hold a list [ ... ], not string \"RA51\""},
        {json::parse(R"({"slots": ["RA51"]})"),
         "slots[0] should hold an object { ... }, not string"},
        {json::parse(R"({"slots": [{"slot": "3", "kind": "RA51"}]})"),
         "slots[0].slot should hold a whole number, not string \"3\""},
        {json::parse(R"({"slots": [{"slot": 3, "kind": "RA51", "version": 2.06}]})"),
         "slots[0].version should hold a text in double quotes, not number 2.06"},
        {json::parse(R"({"slots": [{"slot": 3}]})"), "slots[0] needs \"kind\""},
        {json::parse(
             R"({"slots": [{"slot": 8, "kind": "RA56", "nodes": [{"id": 2, "serial": "x"}]}]})"),
         "slots[0].nodes[0].serial should hold a whole number"},
        {json::parse(R"({"timing": {"resetMs": true}})"),
         "timing.resetMs should hold a whole number"},
        {json::parse(R"({"panel": {"kind": "DV43A", "bootstrap": "yes"}})"),
         "panel.bootstrap should hold true or false"},
        {json::parse(R"([1, 2])"), "the rack description should be an object"},
        {json::parse(R"({"slots": [{"slot": 16, "kind": "KX43"}]})"), "slot 16 is not 0-15"},
        {json::parse(R"({"slots": [{"slot": 2, "kind": "KX43"}, {"slot": 2, "kind": "KX43"}]})"),
         "slot 2 is described twice"},
        {json::parse(R"({"faults": [{"pattern": "IDN", "action": "explode"}]})"),
         "unknown fault action \"explode\""},
        {json::parse(R"({"faults": [{"pattern": "(IDN"}]})"), "pattern"},
    };
    for (const auto& [description, expected] : cases) {
        EXPECT_NE(errorOf(description).find(expected), std::string::npos)
            << description.dump() << " -> " << errorOf(description);
    }
}

}  // namespace
