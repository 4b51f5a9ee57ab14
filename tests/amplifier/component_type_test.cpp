// GetComponentType against exact scripts: model rules, the loader fallback, limits, panel control.
#include <gtest/gtest.h>

#include "amplifier_rack.h"
#include "link/amplifier/component_type.h"
#include "link/quorlink.h"
#include "link_fixture.h"

using namespace testing_support;

namespace {

class ComponentTypeTest : public ScriptedLinkTest {
protected:
    void application(const std::string& identity) {
        peer->line("CHS4\r\n", "0").line("SPS?0\r\n", "3,1,4").line("SPS1\r\n", "0").line("AID?\r\n", identity);
    }
};

TEST(ModelRules, DashCommaAndS6) {
    using quorlink::amplifier::modelFromIdentity;
    EXPECT_EQ(modelFromIdentity("QTX-RA51,RA51-WS050,0,P2.06"), "RA51");
    EXPECT_EQ(modelFromIdentity("QTX,RA77,S6,P1.20"), "RA77S6");
    EXPECT_EQ(modelFromIdentity("QTX,RC77,S6"), "RC77S6");
    EXPECT_EQ(modelFromIdentity("QTX,RA77,S61,P1.20"), "RA77");
    EXPECT_EQ(modelFromIdentity("QTX-RA14"), "RA14");
    EXPECT_EQ(modelFromIdentity("plain"), " ");
}

// A C caller sees a text up to its first NUL byte; the length it gets must tell the same text.
TEST_F(ComponentTypeTest, IdentityWithANulByteIsHandedOutUpToIt) {
    application(std::string("QTX,RA77,S6,P1.20\0,X", 21));
    peer->line("UCC?\r\n", "\"\"").line("REV?0\r\n", "\"A03\"").line("AMT?\r\n", "5");
    char identity[256] = {}, model[256] = {}, revision[256] = {}, revisions[256] = {};
    int32_t identityLength = -1, modelLength = 0, mode = 0, flag = 0, sub = 0, revisionLength = 0, revisionsLength = 0;
    ASSERT_EQ(GetComponentType(6000, 2, 2, recordMessage, identity, &identityLength, model, &modelLength, &mode, &flag,
                               &sub, 0, revision, &revisionLength, revisions, &revisionsLength),
              0);
    EXPECT_EQ(std::string(identity), "QTX,RA77,S6,P1.20");
    EXPECT_EQ(identityLength, 17);
}

// An identity of eight characters is not detected; a comment answered "1" or refused means the
// module runs a loader; a refused sub-channel query counts one.
TEST_F(ComponentTypeTest, ApplicationAnswersThatDetectNothing) {
    application("QTX-RA51");
    peer->line("UCC?\r\n", "\"\"").line("REV?0\r\n", "\"A03\"");
    auto id = identifySlot(2, 2);
    EXPECT_EQ(id.identity, "not detected");
    EXPECT_EQ(id.model, " ");
    EXPECT_EQ(id.amplifierMode, 0);

    for (const char* comment : {"1", "?"}) {  // a loader, or a module without the comment
        SCOPED_TRACE(comment);
        application("QTX-RA51,RA51-WS050,0,P2.06");
        peer->line("UCC?\r\n", comment).line("PRC1,6,I03\r\n", "?");
        id = identifySlot(2, 1);
        EXPECT_EQ(id.identity, "not detected");
        EXPECT_EQ(id.hardwareRevision, "?");
        EXPECT_EQ(id.loaderFlag, 0);
    }

    peer->line("CHS4\r\n", "0").line("SPS?0\r\n", "?").line("SPS1\r\n", "?").line("AID?\r\n", "?");
    id = identifySlot(2, 2);
    EXPECT_EQ(id.subChannels, 1);
    EXPECT_EQ(id.identity, "not detected");
}

TEST_F(ComponentTypeTest, LoaderOneIdentificationStopsAfter35Characters) {
    peer->line("CHS4\r\n", "?").line("PRC1,2,I03\r\n", "1");
    for (int i = 0; i < 35; ++i) peer->line("PRC1,2,K03\r\n", i < 31 ? "A" : "0");
    const auto id = identifySlot(2, 0);
    EXPECT_EQ(id.identity, std::string(31, 'A') + "0000");
    EXPECT_EQ(id.loaderFlag, 1);
    EXPECT_EQ(id.model, " ");  // no dash: no model, mode 0
    EXPECT_EQ(id.amplifierMode, 0);
}

// A loader 2 that stays is reported and checked; a silent loader ends the fallback quietly.
TEST_F(ComponentTypeTest, LoaderTwoThatStaysAndASilentLoader) {
    peer->line("CHS2\r\n", "?").line("PRC1,2,I02\r\n", "2").line("PRC1,2,X0200010400\r\n", "0");
    peer->line("PRC1,2,I02\r\n", "2").line("PRC1,5\r\n", "?");
    const auto id = identifySlot(1, 0);
    EXPECT_EQ(id.result, 0);
    EXPECT_EQ(id.loaderFlag, 1);
    EXPECT_EQ(id.identity, "not detected");
    EXPECT_EQ(messageTexts(),
              Texts{"Amplifier is in Bootloader 2, try to switch to loader 1 failed!"});

    reports.clear();
    peer->line("CHS2\r\n", "?").expect("PRC1,2,I02\r\n");
    EXPECT_EQ(identifySlot(1, 0).result, 0);
    EXPECT_TRUE(reports.messages.empty());
}

// A refused switch of the panel out of the bus ends with -20; a refused switch back in only warns.
TEST_F(ComponentTypeTest, PanelSwitchOutAndInRefused) {
    peer->line("PRC1,1\r\n", "?");
    EXPECT_EQ(identifySlot(0, 2, 1).result, -20);
    EXPECT_EQ(lastMessage(), "Error on disable DVxx!");

    peer->line("CHS32768\r\n", "?").line("PRC1,4\r\n", "?");
    EXPECT_EQ(identifySlot(15, 2, 2).result, 0);
    EXPECT_EQ(lastMessage(), "Error on enable DVxx!");
}

// The processor's revisions are joined and paced; a revision time-out has its own code.
TEST_F(ComponentTypeTest, ProcessorRevisions) {
    peer->line("PRC1,1\r\n", "0").line("IDN?\r\n", "QTX,KX43,0,P1.52").line("HWR?\r\n", "?");
    peer->line("PRC?311\r\n", "\"2.40\"").line("PRC?312\r\n", "?").line("PRC?313\r\n", "\"1.05\"");
    char identity[256] = {}, model[256] = "unchanged", revision[256] = {}, revisions[1536] = {};
    int32_t lengths[4] = {}, mode = -1, flag = -1, sub = -1;
    EXPECT_EQ(GetComponentType(3000, 34, 0, recordMessage, identity, &lengths[0], model, &lengths[1], &mode,
                               &flag, &sub, 1, revision, &lengths[2], revisions, &lengths[3]),
              0);
    EXPECT_STREQ(identity, "QTX,KX43,0,P1.52");
    EXPECT_STREQ(model, "unchanged");
    EXPECT_STREQ(revision, "?");
    EXPECT_STREQ(revisions, "\"2.40\"#\"?\"#\"1.05\"");
    EXPECT_EQ(lengths[3], 17);
    EXPECT_EQ(mode, 0);
    EXPECT_EQ(protocolWaits(), (std::vector<int>{100, 20, 20, 20}));

    peer->line("IDN?\r\n", "QTX,KX43,0,P1.52").line("HWR?\r\n", "\"A01\"").expect("PRC?311\r\n");
    char text[1536] = {};
    int32_t length = 0;
    mode = flag = sub = 7;
    EXPECT_EQ(GetComponentType(3000, 34, 0, recordMessage, text, &length, text, &length, &mode, &flag, &sub, 0,
                               text, &length, text, &length),
              -4);
    EXPECT_EQ(lastMessage(), "Error reading kernel revision number!");
    EXPECT_EQ(mode, 0);  // outputs cleared before anything was sent
    EXPECT_STREQ(text, " ");
}

}  // namespace
