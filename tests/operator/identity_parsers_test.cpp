// Identity parsing of processor, panel and slots, and the amplifier type derivation.
#include "operator/shell/identity_parsers.h"

#include <gtest/gtest.h>

#include <QStringList>

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

QStringList fields(const ProcessorRecord& r) {
    return {r.Identity,        r.ProcessorType,      r.VersionSuffix,
            r.SoftwareVersion, r.LoaderRevision,     r.HardwareRevision,
            r.KernelRevision,  r.FileSystemRevision, r.LoaderBiosRevision};
}

// The table row is chosen by hardware revision in file order; a failing version query gives loader
// revision 0.00; the identity is cut at a CR behind the fifth character.
TEST(ParseProcessorIdentity, ApplicationBootLoaderAndAbsentProcessors) {
    ProcessorRecord r;
    ParseProcessorIdentity(r, "QTX,KX43,2,P1.41X,rest", "\"A01\"", "\"2.40\"#\"1.12\"#\"1.05\"",
                           kProcessors, answers("1.234"));
    EXPECT_EQ(fields(r), (QStringList{"QTX,KX43,2,P1.41X,rest", "KX43", "2", "P1.41", "1.23", "A01",
                                      "2.40", "1.12", "1.05"}));
    EXPECT_FALSE(r.InBootLoader);
    ParseProcessorIdentity(r, "QTX,KX43,0,P1.50", "\"B02\"", "", kProcessors, answers("1.00"));
    EXPECT_EQ(r.ProcessorType, "KX43B");
    ParseProcessorIdentity(r, "QTX,KX33,0,P1.50", "\"Z99\"", "", kProcessors, answers("1.00"));
    EXPECT_EQ(r.ProcessorType, "KX33");  // both limits "-" match every revision
    ParseProcessorIdentity(r, "QTX,KX99,0,P1.50", "\"A01\"", "", kProcessors, answers("1.00"));
    EXPECT_EQ(r.ProcessorType, "not supported");
    ParseProcessorIdentity(r, "QTX,KX43,0,P1.41", "\"A01\"", "", kProcessors, answers({}));
    EXPECT_EQ(r.LoaderRevision, "0.00");
    ParseProcessorIdentity(r, "QTX-KX43B-Bootstraploader,1.07,more", "?", "", kProcessors,
                           answers("9.99"));
    EXPECT_TRUE(r.InBootLoader);
    EXPECT_EQ((QStringList{r.Identity, r.ProcessorType, r.SoftwareVersion, r.LoaderRevision,
                           r.HardwareRevision}),
              (QStringList{"QTX-KX43B-Bootstraploader", "KX43B", "1.07", "1.07", "-"}));
    r.ProcessorType = "KX43";
    ParseProcessorIdentity(r, "not detected", "?", "", kProcessors, answers("1.00"));
    EXPECT_EQ(r.Identity, "not detected");
    EXPECT_EQ(r.ProcessorType, "");
    EXPECT_FALSE(r.InBootLoader);
    EXPECT_EQ(r.KernelRevision, "-");
    ParseProcessorIdentity(r, "QTX,KX43,0,P1.41\rjunk", "\"A01\"\r\n", "    #\"1.12\"#",
                           kProcessors, answers("1.00"));
    EXPECT_EQ(fields(r), (QStringList{"QTX,KX43,0,P1.41", "KX43", "0", "P1.41", "1.00", "A01", "-",
                                      "1.12", "-"}));
}

// A DV43 of hardware revision 2 becomes a DV43B unless a type letter is given.
TEST(ParsePanelIdentity, VersionRevisionSerialNumberTypeAndAbsence) {
    PanelRecord r;
    ParsePanelIdentity(r, "QTX,DV33A,0,P4.10,1.20,0012345", "");
    EXPECT_TRUE(r.Present);
    EXPECT_EQ((QStringList{r.PanelType, r.SoftwareVersion, r.Identity, r.HardwareRevision,
                           r.SerialNumber}),
              (QStringList{"DV33A", "4.10", "QTX,DV33A,0,P4.10", "1.20", "0012345"}));
    ParsePanelIdentity(r, "QTX,DV43,0,P4.10,2.10,77", "");
    EXPECT_EQ(r.PanelType, "DV43B");
    ParsePanelIdentity(r, "QTX,DV43,0,P4.10,1.99,77", "");
    EXPECT_EQ(r.PanelType, "DV43A");
    ParsePanelIdentity(r, "QTX,DV43,0,P4.10,1.99,77", "A");
    EXPECT_EQ(r.PanelType, "DV43");
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
            {0, 0, "none", 0, "unknown", ""},    {12, 31, "RA56", 16384, "RA56", "RA56N"},
            {4, 8, "RA50B", 32768, "RA50B", ""}, {5, 9, "RA50B5", 32768, "RA50B", ""},
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

// An application identity fills versions, kind and type; controller models append their letters.
TEST_F(SlotParsing, ApplicationIdentityAndControllerLetters) {
    SlotRecord r = slot("RA56", 12);
    ParseSlotIdentity(r, "QTX-RA56,SN0001-WS050,F72,P2.06A", "\"1.03\"\r\n", tables);
    EXPECT_TRUE(r.Present);
    EXPECT_EQ((QStringList{r.IdentifiedType, r.VersionSuffix, r.SoftwareVersion, r.HardwareRevision,
                           r.TypePrefix, r.SecondTypePrefix}),
              (QStringList{"RA56", "F72", "P2.06", "1.03", "RA56", "RA56N"}));
    EXPECT_EQ((std::vector<long long>{r.ControllerKind, r.AmpCode, r.StartAddress}),
              (std::vector<long long>{2, 31, 16384}));

    const std::tuple<QString, QString, QString, int> cases[] = {
        {"RA50", "QTX-RA50,S-WS004,0,P1.00", "RA50B", 2},
        {"RA80", "QTX-RA80,S-WS081,0,P1.00", "RA80C", 3},
        {"RA90", "QTX-RA90,S-WS50B,0,P1.00", "RA90B", 4},
        {"RA90", "QTX-RA90,S-WS777,0,P1.00", "RA90", 0},  // controller not listed
        {"RA90", "QTX-RA90,S,0,P1.00", "RA90", 0},        // no dash
    };
    for (const auto& [model, identity, type, kind] : cases) {
        SlotRecord parsed = slot(model, 0);
        ParseSlotIdentity(parsed, identity, "", tables);
        EXPECT_EQ(parsed.IdentifiedType, type) << identity.toStdString();
        EXPECT_EQ(parsed.ControllerKind, kind) << identity.toStdString();
    }
}

// Not-detected and foreign identities derive no type; a loader identity has no hardware revision.
TEST_F(SlotParsing, NotDetectedForeignAndLoaderIdentities) {
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

    SlotRecord loader = slot("RA56", 12);
    loader.HardwareRevision = "old";
    ParseLoaderIdentity(loader, "QTX-RA56,L1-WS050,0,P1.00,0012", tables);
    EXPECT_EQ(loader.HardwareRevision, " ");
    EXPECT_EQ(loader.ControllerKind, 2);
    EXPECT_EQ(loader.TypePrefix, "RA56");
}

// The AMT number and the type name choose the row; without an AMT number the first row of the
// name; without a match the record keeps what it had.
TEST_F(SlotParsing, DeriveSlotTypeFromTheTable) {
    SlotRecord r = slot("RA50B", 5);
    DeriveSlotType(r, tables.amplifiers);
    EXPECT_EQ(r.TypePrefix, "RA50B5");
    EXPECT_EQ(r.AmpCode, 9);
    r = slot("RA50B", 0);
    DeriveSlotType(r, tables.amplifiers);
    EXPECT_EQ(r.AmtNumber, 4);
    EXPECT_EQ(r.TypePrefix, "RA50B");
    r = slot("RA50B", 77);
    r.TypePrefix = "kept";
    DeriveSlotType(r, tables.amplifiers);
    EXPECT_EQ(r.TypePrefix, "kept");
    EXPECT_EQ(r.AmtNumber, 77);
}

}  // namespace
