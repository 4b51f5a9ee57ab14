// Identity parsing of processor, panel and slots, and the amplifier type derivation.
#include "operator/shell/identity_parsers.h"

#include <gtest/gtest.h>

using namespace quorvel;

namespace {

const std::vector<ProcessorRow> kProcessors = {
    {"KX43", "-", "A09", "KX43"},
    {"KX43", "B00", "-", "KX43B"},
    {"KX33", "-", "-", "KX33"},
};

VersionQuery answers(std::optional<QString> answer) {
    return [answer] { return answer; };
}

TEST(ParseProcessorIdentity, ApplicationIdentity) {
    ProcessorRecord r;
    ParseProcessorIdentity(r, "QTX,KX43,2,P1.41X,rest", "\"A01\"",
                           "\"2.40\"#\"1.12\"#\"1.05\"", kProcessors, answers("1.234"));
    EXPECT_EQ(r.Identity, "QTX,KX43,2,P1.41X,rest");
    EXPECT_EQ(r.ProcessorType, "KX43");
    EXPECT_EQ(r.VersionSuffix, "2");
    EXPECT_EQ(r.SoftwareVersion, "P1.41");
    EXPECT_EQ(r.LoaderRevision, "1.23");
    EXPECT_FALSE(r.InBootLoader);
    EXPECT_EQ(r.HardwareRevision, "A01");
    EXPECT_EQ(r.KernelRevision, "2.40");
    EXPECT_EQ(r.FileSystemRevision, "1.12");
    EXPECT_EQ(r.LoaderBiosRevision, "1.05");
}

TEST(ParseProcessorIdentity, HardwareRevisionChoosesTheTableRowInFileOrder) {
    ProcessorRecord r;
    ParseProcessorIdentity(r, "QTX,KX43,0,P1.50", "\"B02\"", "", kProcessors, answers("1.00"));
    EXPECT_EQ(r.ProcessorType, "KX43B");
    ParseProcessorIdentity(r, "QTX,KX33,0,P1.50", "\"Z99\"", "", kProcessors, answers("1.00"));
    EXPECT_EQ(r.ProcessorType, "KX33");  // both limits "-" match every revision
    ParseProcessorIdentity(r, "QTX,KX99,0,P1.50", "\"A01\"", "", kProcessors, answers("1.00"));
    EXPECT_EQ(r.ProcessorType, "not supported");
}

TEST(ParseProcessorIdentity, FailingVersionQueryGivesLoaderRevision000) {
    ProcessorRecord r;
    ParseProcessorIdentity(r, "QTX,KX43,0,P1.41", "\"A01\"", "", kProcessors, answers({}));
    EXPECT_EQ(r.LoaderRevision, "0.00");
}

TEST(ParseProcessorIdentity, BootLoaderIdentity) {
    ProcessorRecord r;
    ParseProcessorIdentity(r, "QTX-KX43B-Bootstraploader,1.07,more", "?", "", kProcessors,
                           answers("9.99"));
    EXPECT_TRUE(r.InBootLoader);
    EXPECT_EQ(r.Identity, "QTX-KX43B-Bootstraploader");
    EXPECT_EQ(r.SoftwareVersion, "1.07");
    EXPECT_EQ(r.LoaderRevision, r.SoftwareVersion);
    EXPECT_EQ(r.ProcessorType, "KX43B");
    EXPECT_EQ(r.HardwareRevision, "-");
}

TEST(ParseProcessorIdentity, NoMakerAnswerIsNotDetected) {
    ProcessorRecord r;
    r.ProcessorType = "KX43";
    ParseProcessorIdentity(r, "not detected", "?", "", kProcessors, answers("1.00"));
    EXPECT_EQ(r.Identity, "not detected");
    EXPECT_EQ(r.ProcessorType, "");
    EXPECT_FALSE(r.InBootLoader);
    EXPECT_EQ(r.KernelRevision, "-");
}

TEST(ParseProcessorIdentity, IdentityIsCutAtACrBehindTheFifthCharacter) {
    ProcessorRecord r;
    ParseProcessorIdentity(r, "QTX,KX43,0,P1.41\rjunk", "\"A01\"\r\n", "    #\"1.12\"#",
                           kProcessors, answers("1.00"));
    EXPECT_EQ(r.Identity, "QTX,KX43,0,P1.41");
    EXPECT_EQ(r.HardwareRevision, "A01");
    EXPECT_EQ(r.KernelRevision, "-");
    EXPECT_EQ(r.FileSystemRevision, "1.12");
    EXPECT_EQ(r.LoaderBiosRevision, "-");
}

TEST(ParsePanelIdentity, VersionHardwareRevisionAndSerialNumber) {
    PanelRecord r;
    ParsePanelIdentity(r, "QTX,DV33A,0,P4.10,1.20,0012345", "");
    EXPECT_TRUE(r.Present);
    EXPECT_EQ(r.PanelType, "DV33A");
    EXPECT_EQ(r.SoftwareVersion, "4.10");
    EXPECT_EQ(r.Identity, "QTX,DV33A,0,P4.10");
    EXPECT_EQ(r.HardwareRevision, "1.20");
    EXPECT_EQ(r.SerialNumber, "0012345");
}

TEST(ParsePanelIdentity, Dv43WithRevision2BecomesTypeB) {
    PanelRecord r;
    ParsePanelIdentity(r, "QTX,DV43,0,P4.10,2.10,77", "");
    EXPECT_EQ(r.PanelType, "DV43B");
    ParsePanelIdentity(r, "QTX,DV43,0,P4.10,1.99,77", "");
    EXPECT_EQ(r.PanelType, "DV43A");
    ParsePanelIdentity(r, "QTX,DV43,0,P4.10,1.99,77", "A");
    EXPECT_EQ(r.PanelType, "DV43");
}

TEST(ParsePanelIdentity, AbsentOrPlaceholderPanelIsNotDetected) {
    PanelRecord r;
    ParsePanelIdentity(r, "not detected", "");
    EXPECT_TRUE(r.Present);
    EXPECT_EQ(r.PanelType, "DV");
    EXPECT_EQ(r.SoftwareVersion, "0.00");
    ParsePanelIdentity(r, "QTX,DVXXX,0,P1.00", "");
    EXPECT_EQ(r.PanelType, "DV");
    EXPECT_EQ(r.Identity, "not detected");
}

class SlotParsing : public ::testing::Test {
protected:
    SlotParsing() {
        tables.controllers = BuiltinControllerTable();
        tables.amplifiers = {
            {0, 0, "none", 0, "unknown", ""},
            {12, 31, "RA56", 16384, "RA56", "RA56N"},
            {4, 8, "RA50B", 32768, "RA50B", ""},
            {5, 9, "RA50B5", 32768, "RA50B", ""},
            {9, 14, "RA80C", 4096, "RA80C", ""},
        };
    }
    SlotRecord slot(const QString& model, long long amt) {
        SlotRecord r;
        r.IdentifiedType = model;
        r.AmtNumber = amt;
        return r;
    }
    ConfigTables tables;
};

TEST_F(SlotParsing, ApplicationIdentityFillsVersionsKindAndType) {
    SlotRecord r = slot("RA56", 12);
    ParseSlotIdentity(r, "QTX-RA56,SN0001-WS050,F72,P2.06A", "\"1.03\"\r\n", tables);
    EXPECT_TRUE(r.Present);
    EXPECT_EQ(r.ControllerKind, 2);
    EXPECT_EQ(r.IdentifiedType, "RA56");
    EXPECT_EQ(r.VersionSuffix, "F72");
    EXPECT_EQ(r.SoftwareVersion, "P2.06");
    EXPECT_EQ(r.HardwareRevision, "1.03");
    EXPECT_EQ(r.AmpCode, 31);
    EXPECT_EQ(r.TypePrefix, "RA56");
    EXPECT_EQ(r.SecondTypePrefix, "RA56N");
    EXPECT_EQ(r.StartAddress, 16384);
}

TEST_F(SlotParsing, ControllerModelsAppendTheirLetters) {
    SlotRecord b = slot("RA50", 0);
    ParseSlotIdentity(b, "QTX-RA50,S-WS004,0,P1.00", "", tables);
    EXPECT_EQ(b.IdentifiedType, "RA50B");
    EXPECT_EQ(b.ControllerKind, 2);
    SlotRecord c = slot("RA80", 0);
    ParseSlotIdentity(c, "QTX-RA80,S-WS081,0,P1.00", "", tables);
    EXPECT_EQ(c.IdentifiedType, "RA80C");
    EXPECT_EQ(c.ControllerKind, 3);
    SlotRecord kind4 = slot("RA90", 0);
    ParseSlotIdentity(kind4, "QTX-RA90,S-WS50B,0,P1.00", "", tables);
    EXPECT_EQ(kind4.IdentifiedType, "RA90B");
    EXPECT_EQ(kind4.ControllerKind, 4);
    SlotRecord unlisted = slot("RA90", 0);
    ParseSlotIdentity(unlisted, "QTX-RA90,S-WS777,0,P1.00", "", tables);
    EXPECT_EQ(unlisted.ControllerKind, 0);
    SlotRecord noDash = slot("RA90", 0);
    ParseSlotIdentity(noDash, "QTX-RA90,S,0,P1.00", "", tables);
    EXPECT_EQ(noDash.ControllerKind, 0);
}

TEST_F(SlotParsing, NotDetectedAndForeignIdentitiesDeriveNoType) {
    SlotRecord r = slot(" ", 0);
    r.Identity = "not detected";
    ParseSlotIdentity(r, "not detected", "?", tables);
    EXPECT_TRUE(r.Present);
    EXPECT_EQ(r.ControllerKind, 0);
    EXPECT_EQ(r.SoftwareVersion, "P0.0");
    EXPECT_EQ(r.TypePrefix, "");
    SlotRecord foreign = slot("X", 0);
    ParseSlotIdentity(foreign, "ACME,AMP1,0,P1.00", "", tables);
    EXPECT_EQ(foreign.Identity, "not detected");
}

TEST_F(SlotParsing, LoaderIdentityHasNoHardwareRevision) {
    SlotRecord r = slot("RA56", 12);
    r.HardwareRevision = "old";
    ParseLoaderIdentity(r, "QTX-RA56,L1-WS050,0,P1.00,0012", tables);
    EXPECT_EQ(r.HardwareRevision, " ");
    EXPECT_EQ(r.ControllerKind, 2);
    EXPECT_EQ(r.TypePrefix, "RA56");
}

TEST_F(SlotParsing, DeriveSlotTypeMatchesAmtNumberAndTypeName) {
    SlotRecord r = slot("RA50B", 5);
    DeriveSlotType(r, tables.amplifiers);
    EXPECT_EQ(r.TypePrefix, "RA50B5");
    EXPECT_EQ(r.AmpCode, 9);
}

TEST_F(SlotParsing, DeriveSlotTypeWithoutAmtNumberTakesTheFirstNameMatch) {
    SlotRecord r = slot("RA50B", 0);
    DeriveSlotType(r, tables.amplifiers);
    EXPECT_EQ(r.AmtNumber, 4);
    EXPECT_EQ(r.TypePrefix, "RA50B");
}

TEST_F(SlotParsing, DeriveSlotTypeWithoutMatchKeepsTheRecord) {
    SlotRecord r = slot("RA50B", 77);
    r.TypePrefix = "kept";
    DeriveSlotType(r, tables.amplifiers);
    EXPECT_EQ(r.TypePrefix, "kept");
    EXPECT_EQ(r.AmtNumber, 77);
}

}  // namespace
