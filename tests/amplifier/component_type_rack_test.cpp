// Identification of slots against the simulated rack: applications, loaders, empty slots.
#include <gtest/gtest.h>

#include "amplifier_rack.h"

using namespace testing_support;
using rack::amplifier::Layer;

namespace {

class ComponentTypeRackTest : public AmplifierRackTest {};

TEST_F(ComponentTypeRackTest, ApplicationReportsIdentityModelModeAndRevision) {
    start({{{"slot", 2}, {"kind", "RA51"}, {"firmwareType", 2}, {"amtNumber", 12}, {"subChannels", 4}}});
    const auto id = identifySlot(2);
    EXPECT_EQ(id.result, 0);
    EXPECT_EQ(id.identity, "QTX-RA51,RA51-WS050,0,P2.06");
    EXPECT_EQ(id.model, "RA51");
    EXPECT_EQ(id.amplifierMode, 12);
    EXPECT_EQ(id.loaderFlag, 0);
    EXPECT_EQ(id.subChannels, 4);
    EXPECT_EQ(id.hardwareRevision, "\"B02\"");
    EXPECT_TRUE(reports.messages.empty());
}

TEST_F(ComponentTypeRackTest, EmptySlotIsNotDetected) {
    start({{{"slot", 0}, {"kind", "RA51"}}});
    const auto id = identifySlot(5);
    EXPECT_EQ(id.result, 0);
    EXPECT_EQ(id.identity, "not detected");
    EXPECT_EQ(id.model, " ");
    EXPECT_EQ(id.loaderFlag, 0);
    EXPECT_EQ(id.hardwareRevision, " ");
}

TEST_F(ComponentTypeRackTest, ModuleInLoader1AnswersWithItsIdentificationString) {
    start({{{"slot", 3}, {"kind", "RA77"}, {"firmwareType", 3}, {"amtNumber", 7}, {"layer", "loader1"}}});
    const auto id = identifySlot(3);
    EXPECT_EQ(id.result, 0);
    EXPECT_EQ(id.identity, "QTX-RA77,RA77-WS081,L1,V1.02,0007");
    EXPECT_EQ(id.model, "RA77");
    EXPECT_EQ(id.amplifierMode, 7);
    EXPECT_EQ(id.loaderFlag, 1);
    EXPECT_EQ(id.hardwareRevision, " ");
}

TEST_F(ComponentTypeRackTest, ModuleInLoader2IsSwitchedToLoader1AndChecked) {
    start({{{"slot", 1}, {"kind", "RA51"}, {"layer", "loader2"}}});
    const auto id = identifySlot(1, 0);
    EXPECT_EQ(id.result, 0);
    EXPECT_EQ(id.loaderFlag, 1);
    EXPECT_EQ(id.identity, "QTX-RA51,RA51-WS050,L1,V1.02,0012");
    EXPECT_EQ(module(1).layer(), Layer::Loader1);
    EXPECT_EQ(rack().received().back(), "PRC1,5");
}

TEST_F(ComponentTypeRackTest, LoaderGroup2SkipsTheFallback) {
    start({{{"slot", 1}, {"kind", "RA51"}, {"layer", "loader1"}}});
    const auto id = identifySlot(1, 2);
    EXPECT_EQ(id.identity, "not detected");
    EXPECT_EQ(id.loaderFlag, 0);
    EXPECT_EQ(rack().received().back(), "CHS2");
}

}  // namespace
