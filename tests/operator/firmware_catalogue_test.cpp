// The firmware catalogue over a generated download directory: the patterns of each device kind
// with their overrides, the names offered, descriptions, default choice and versions; the type
// assignment by hand and the information rows.
#include "operator/drivers/firmware_catalogue.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "operator/drivers/amplifier_types.h"
#include "operator/drivers/device_information.h"

using namespace quorvel;

namespace {

class DownloadDirectory {
  public:
    DownloadDirectory() {
        for (const char* file :
             {"ra51p206.s00",  "ra51p207.s01",  "RA51P207.S72",   "RA51NP101.S00", "RA51S6P210.S00",
              "ra51bp300.s00", "ra51bp300.f00", "RA901BP650.S00", "RA677P640.S00", "ra51l103.ld1",
              "RA56P207.S00",  "RA56P207.S72",  "DV43A410.S00",   "DV43A100.ld1",  "mode.apl",
              "mode.bpl",      "NP21p205.s00",  "NP21l110.ld1",   "pstray.s00",    "KX33P142.S00",
              "KX33P141.T00",  "ra51p206.t00",  "RA56P203.S00"}) {
            write(file, "S0");
        }
        write("KX33P141.T00", "Release build,2026-11-30,\"for KX33, rev. B\"\n");
        write("ra51p206.t00", "");
        for (const char* folder : {"KX33P141.S00", "KX33P141.S01", "KX43P150.S00", "KX43A150.S00"})
            QDir(path()).mkdir(folder);
    }
    QString path() const { return directory.path(); }
    void write(const QString& name, const QByteArray& text) {
        QFile file(QDir(path()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

  private:
    QTemporaryDir directory;
};

SlotRecord& module(ProgramState& s, int slot, const QString& type, const QString& prefix,
                   const QString& second = {}) {
    SlotRecord& r = s.Inventory.slotRecords[slot];
    r.Present = true;
    r.Identity = "QTX-" + type;
    r.IdentifiedType = type;
    r.TypePrefix = prefix;
    r.SecondTypePrefix = second;
    r.ControllerKind = 2;
    r.VersionSuffix = "0";
    return r;
}

struct CatalogueCase {
    const char* name;
    std::function<FirmwareTarget(ProgramState&)> setup;
    QString display;
    QStringList patterns;
    QStringList offered;  // entry texts in list order, or the messages when nothing is offered
    QString defaultEntry;
};

using Tweak = std::function<void(ProgramState&, SlotRecord&)>;

// The target of a module in slot 0 (typed with `prefix` and `second`), after `tweak`.
std::function<FirmwareTarget(ProgramState&)> onModule(const QString& type, const QString& prefix,
                                                      Tweak tweak = nullptr,
                                                      const QString& second = {}) {
    return [=](ProgramState& s) {
        SlotRecord& r = module(s, 0, type, prefix, second);
        if (tweak) tweak(s, r);
        return AmplifierTarget(s, 0);
    };
}

FirmwareTarget device(FirmwareDeviceKind kind, int slot = -1, const QString& nodePrefix = {}) {
    return {kind, slot, nodePrefix};
}

// The processor target of a `type` processor, in its boot loader of revision `loader` if given.
std::function<FirmwareTarget(ProgramState&)> onProcessor(const QString& type,
                                                         const QString& loader = {}) {
    return [=](ProgramState& s) {
        s.Inventory.processor.ProcessorType = type;
        s.Inventory.processor.LoaderRevision = loader;
        s.Inventory.processor.InBootLoader = !loader.isEmpty();
        return device(FirmwareDeviceKind::Processor);
    };
}

const CatalogueCase kCatalogueCases[] = {
    CatalogueCase("AmplifierWithSecondPrefix", onModule("RA51", "ra51", nullptr, "RA51N"),
                  "ra51P*.*", {"ra51p*.s*", "ra51p*.f*", "RA51Np*.s*", "RA51Np*.f*"},
                  {"RA51P206.S00", "RA51P207.S01", "RA51NP101.S00"}, "RA51P206.S00"),
    // The newest release is the default, not the first in the listing.
    CatalogueCase("F72FilesHiddenFromOtherModules", onModule("RA56", "RA56"), "RA56P*.*",
                  {"RA56p*.s*", "RA56p*.f*"}, {"RA56P203.S00", "RA56P207.S00"}, "RA56P207.S00"),
    CatalogueCase(
        "F72ModuleSearchesOnlyF72Files",
        onModule("RA56", "RA56-F72", [](ProgramState&, SlotRecord& r) { r.VersionSuffix = "F72"; }),
        "RA56P*.*", {"RA56p*.s72", "RA56p*.f72"}, {"RA56P207.S72"}, "RA56P207.S72"),
    CatalogueCase("RA51FamilyInServiceStart",
                  onModule("RA51", "ra51", [](ProgramState& s, SlotRecord&) { s.StartMode = "S"; }),
                  "RA51*.*", {"RA51p*.s*", "RA51S6p*.s*"},
                  {"RA51P206.S00", "RA51P207.S01", "RA51P207.S72", "RA51S6P210.S00"},
                  "RA51P206.S00"),
    CatalogueCase("RA51BFamilyForATypeGivenByHand",
                  onModule("RA51B", "RA51B",
                           [](ProgramState&, SlotRecord& r) { r.TypeAssignedByHand = true; }),
                  "RA51B*.*", {"RA51b*.s*", "RA51b*.f*"}, {"RA51BP300.S00", "RA51BP300.F00"},
                  "RA51BP300.S00"),
    CatalogueCase("RA677InProductionWithLoader1",
                  onModule("RA677", "RA677",
                           [](ProgramState& s, SlotRecord&) {
                               s.StartMode = "P";
                               s.IncludeLoader1 = true;
                           }),
                  "RA901Bp*.*", {"RA901Bp*.s*", "RA901Bp*.f*", "RA?77p*.s*", "RA?77p*.f*"},
                  {"RA901BP650.S00", "RA677P640.S00"}, "RA901BP650.S00"),
    CatalogueCase("ModuleOfUnknownTypeIsOfferedNothing", onModule("RA99", ""), "P*.*", {},
                  {"No Firmware found!", "Please copy files", "P*.*", "to directory set in",
                   "Transfer->Directory.. !"},
                  ""),
    CatalogueCase("AmplifierLoader1",
                  onModule("RA51", "ra51-F72",
                           [](ProgramState& s, SlotRecord& r) {
                               s.OnlyLoader1 = true;
                               r.VersionSuffix = "F72";
                           }),
                  "ra51*.LD1", {"ra51*.LD1"}, {"RA51L103.LD1"}, "RA51L103.LD1"),
    CatalogueCase("AmplifierLoader1OfAnOlderController",
                  onModule("RA14", "ra14",
                           [](ProgramState& s, SlotRecord& r) {
                               s.OnlyLoader1 = true;
                               r.ControllerKind = 1;
                           }),
                  "ra14*.LD1", {"xxxdasd.xas"}, {"Device not supported!"}, ""),
    CatalogueCase("AmplifierDriverModeOfAType4Module",
                  onModule("RA901B", "ra901b",
                           [](ProgramState& s, SlotRecord& r) {
                               s.AmplifierModeFlag = true;
                               r.ControllerKind = 4;
                           }),
                  "*.bpl", {"*.bpl"}, {"MODE.BPL"}, "MODE.BPL"),
    CatalogueCase("ProcessorDirectoriesOnly", onProcessor("KX33"), "KX33P*.s*",
                  {"KX33P*.s*", "KX33P*.f*"}, {"KX33P141.S00", "KX33P141.S01"}, "KX33P141.S00"),
    CatalogueCase("KX43OffersApplicationAndProductionDirectories", onProcessor("KX43"),
                  "KX43AorP*.s*", {"KX43P*.s*", "KX43A*.s*"}, {"KX43P150.S00", "KX43A150.S00"},
                  "KX43P150.S00"),
    CatalogueCase("ProcessorInAnOldBootLoader", onProcessor("KX43", "1.10"), "KX43*.s*",
                  {"KX43*.s*", "KX43A*.s*"}, {"KX43A150.S00", "KX43P150.S00"}, "KX43A150.S00"),
    CatalogueCase(
        "PanelAndItsLoader1",
        [](ProgramState& s) {
            s.Inventory.panel.PanelType = "DV43A";
            s.PanelLoader1 = true;
            return device(FirmwareDeviceKind::PanelLoader1);
        },
        "DV43A*.ld1", {"DV43A*.ld1"}, {"DV43A100.LD1"}, "DV43A100.LD1"),
    CatalogueCase(
        "NodePod", [](ProgramState&) { return device(FirmwareDeviceKind::NodePod, 1, "NP21"); },
        "NP21p*.*", {"NP21p*.s*", "NP21p*.f*"}, {"NP21P205.S00"}, "NP21P205.S00"),
};

class Catalogue : public ::testing::TestWithParam<CatalogueCase> {
  protected:
    DownloadDirectory downloads;
};

TEST_P(Catalogue, PatternsAndOfferedNames) {
    const CatalogueCase& c = GetParam();
    ProgramState state;
    state.DownloadDirectory = downloads.path();
    const FirmwareTarget target = c.setup(state);
    const FirmwareSearch search = BuildFirmwareSearch(target, state);
    EXPECT_EQ(search.displayPattern, c.display);
    EXPECT_EQ(search.searchPatterns, c.patterns);

    state.SelectedFirmwareFile = "stale.s00";
    const FirmwareList list = OpenFirmwareList(state, target);
    QStringList offered = list.messages;
    for (const FirmwareEntry& entry : list.entries) offered << entry.text;
    EXPECT_EQ(offered, c.offered);
    const QString chosen = list.defaultRow < 0 ? QString() : list.entries[list.defaultRow].text;
    EXPECT_EQ(chosen, c.defaultEntry);
    if (list.entries.empty()) {
        EXPECT_EQ(state.SelectedFirmwareFile, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Catalogue, ::testing::ValuesIn(kCatalogueCases),
                         [](const auto& p) { return std::string(p.param.name); });

// Versions and information files follow the file name; opening the list keeps the stored F72
// prefix, the files are searched with the plain one.
TEST(FirmwareCatalogue, DescriptionsInformationTheChoiceAndVersions) {
    DownloadDirectory downloads;
    ProgramState state;
    state.DownloadDirectory = downloads.path();
    state.Inventory.processor.ProcessorType = "KX33";
    const FirmwareList list = OpenFirmwareList(state, device(FirmwareDeviceKind::Processor));
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].descriptionColumn(), "P1.41 Release build");
    EXPECT_TRUE(list.entries[0].hasInformation);
    EXPECT_EQ(list.entries[1].descriptionColumn(), "P1.41 Special version");
    EXPECT_FALSE(list.entries[1].hasInformation);
    EXPECT_EQ(AdditionalInformation(downloads.path(), list.entries[0]),
              "Additional Firmware information\rfor KX33P141.S00 :\r\rRelease build\r2026-11-30"
              "\rfor KX33, rev. B");
    EXPECT_EQ(AdditionalInformation(downloads.path(), list.entries[1]),
              "No additional information available.");

    StoreFirmwareChoice(state, list, 1);
    EXPECT_EQ(state.SelectedFirmwareFile, "KX33P141.S01");
    EXPECT_EQ(state.SelectedFirmwareVersion, "P1.41");
    StoreFirmwareChoice(state, list, std::nullopt);  // Cancel
    EXPECT_EQ(state.SelectedFirmwareFile, "");
    EXPECT_EQ(state.SelectedFirmwareVersion, "");
    StoreQuietChoice(state, list);  // download-all takes the default without asking
    EXPECT_EQ(state.SelectedFirmwareFile, "KX33P141.S00");

    // An empty information file gives an empty description; the key keeps the listed case.
    module(state, 0, "RA51", "ra51");
    const FirmwareList amplifier = OpenFirmwareList(state, AmplifierTarget(state, 0));
    EXPECT_EQ(amplifier.entries[0].key, "ra51p206.s00");
    EXPECT_EQ(amplifier.entries[0].descriptionColumn(), "P2.06 ");

    const std::pair<const char*, const char*> cases[] = {
        {"KX33P141.S00", "P1.41"}, {"DV33A213.S00", "P2.13"}, {"dv43a410.s00", "P4.10"},
        {"RA51P07.S00", "P0.07"},  {"ra51p206.s00", "P2.06"}, {"AB.S00", ""},
        {"DV33A.S00", ""},         {"NOEXTENSION", ""},       {"", ""},
    };
    for (const auto& [name, version] : cases) EXPECT_EQ(VersionFromFileName(name), version) << name;
    EXPECT_EQ(InformationFileName("KX33P141.S00"), "KX33P141.T00");
    EXPECT_EQ(InformationFileName("NOEXTENSION"), "");

    SlotRecord& record = module(state, 3, "RA56", "RA56-F72");
    record.VersionSuffix = "F72";
    OpenFirmwareList(state, AmplifierTarget(state, 3));
    EXPECT_EQ(record.TypePrefix, "RA56-F72");
    EXPECT_EQ(FileTypePrefix(state, record), "RA56");
}

TEST(AmplifierTypesAndDeviceInformation, AssignedByHandFromTheTableAndRowsForEachKindOfDevice) {
    ProgramState state;
    state.Tables.amplifiers = {{0, 0, "", 0, "unknown", ""},
                               {12, 16, "ra51", 73728, "RA51", ""},
                               {56, 16, "RA56", 16384, "RA56", "RA56N"}};
    EXPECT_EQ(AmplifierTypeChoices(state.Tables), (QStringList{"RA51", "RA56"}));
    SlotRecord& record = module(state, 2, "", "");
    record.VersionSuffix = "F72";
    record.ControllerKind = 0;
    EXPECT_FALSE(AssignAmplifierType(state, {2}, "unknown"));
    ASSERT_TRUE(AssignAmplifierType(state, {2}, "RA56"));
    EXPECT_EQ(record.IdentifiedType, "RA56");
    EXPECT_TRUE(record.TypeAssignedByHand);
    EXPECT_EQ(record.ControllerKind, 1);
    EXPECT_EQ(record.AmtNumber, 56);
    EXPECT_EQ(record.AmpCode, 16);
    EXPECT_EQ(record.StartAddress, 16384);
    EXPECT_EQ(record.TypePrefix, "RA56-F72");
    EXPECT_EQ(record.SecondTypePrefix, "RA56N");
    // The hand-assigned type sees both families and the F72 files.
    const FirmwareSearch search = BuildFirmwareSearch(AmplifierTarget(state, 2), state);
    EXPECT_FALSE(search.hideF72);
    EXPECT_EQ(search.secondDisplayPattern, "RA56NP*.*");

    SlotRecord slot;
    slot.Slot = 4;
    slot.ControllerKind = 3;
    slot.ControllerLetter = "S";
    slot.TypePrefix = "ra77";
    const auto slotRows = SlotInformation(slot);
    ASSERT_EQ(slotRows.size(), 14u);
    EXPECT_EQ(slotRows[1], (InformationRow{"Slot", "5"}));
    EXPECT_EQ(slotRows[5], (InformationRow{"Firmware File Name", "ra77P*.*"}));
    EXPECT_EQ(slotRows[9], (InformationRow{"HWRevBootloader", "S (C163), HY"}));
    ProcessorRecord processor;
    processor.ProcessorType = "KX43";
    EXPECT_EQ(ProcessorInformation(processor)[4].value, "KX43A*.S* or KX43P*.S*");
}

}  // namespace
