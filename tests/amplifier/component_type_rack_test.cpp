// Identification of slots against the simulated rack: applications, loaders, empty slots.
#include <gtest/gtest.h>

#include <tuple>

#include "amplifier_rack.h"

using namespace testing_support;
using rack::amplifier::Layer;

namespace {

class ComponentTypeRackTest : public AmplifierRackTest {};

TEST_F(ComponentTypeRackTest, ApplicationsLoadersAndEmptySlots) {
    start({{{"slot", 1}, {"kind", "RA51"}, {"layer", "loader2"}},
           {{"slot", 2}, {"kind", "RA51"}, {"firmwareType", 2}, {"amtNumber", 12}, {"subChannels", 4}},
           {{"slot", 3}, {"kind", "RA77"}, {"firmwareType", 3}, {"amtNumber", 7}, {"layer", "loader1"}},
           {{"slot", 4}, {"kind", "RA51"}, {"layer", "loader1"}}});
    const auto application = identifySlot(2);
    EXPECT_EQ(std::tie(application.result, application.identity, application.model, application.hardwareRevision),
              std::make_tuple(0, "QTX-RA51,RA51-WS050,0,P2.06", "RA51", "\"B02\""));
    EXPECT_EQ(std::tie(application.amplifierMode, application.loaderFlag, application.subChannels),
              std::make_tuple(12, 0, 4));

    const auto empty = identifySlot(5);
    EXPECT_EQ(std::tie(empty.result, empty.identity, empty.model, empty.loaderFlag, empty.hardwareRevision),
              std::make_tuple(0, "not detected", " ", 0, " "));

    // A module in loader 1 answers with its identification string.
    const auto loader1 = identifySlot(3);
    EXPECT_EQ(std::tie(loader1.result, loader1.identity, loader1.model, loader1.hardwareRevision),
              std::make_tuple(0, "QTX-RA77,RA77-WS081,L1,V1.02,0007", "RA77", " "));
    EXPECT_EQ(std::tie(loader1.amplifierMode, loader1.loaderFlag), std::make_tuple(7, 1));

    // Loader group 2 skips the fallback.
    const auto skipped = identifySlot(4, 2);
    EXPECT_EQ(std::tie(skipped.identity, skipped.loaderFlag), std::make_tuple("not detected", 0));
    EXPECT_EQ(rack().received().back(), "CHS16");
    EXPECT_TRUE(reports.messages.empty());

    // A module in loader 2 is switched to loader 1 and checked.
    const auto loader2 = identifySlot(1, 0);
    EXPECT_EQ(std::tie(loader2.result, loader2.loaderFlag, loader2.identity),
              std::make_tuple(0, 1, "QTX-RA51,RA51-WS050,L1,V1.02,0012"));
    EXPECT_EQ(module(1).layer(), Layer::Loader1);
    EXPECT_EQ(rack().received().back(), "PRC1,5");
}

}  // namespace
