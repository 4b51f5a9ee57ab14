#include "amplifier_rack.h"

#include <algorithm>
#include <bit>

#include "amplifier_slot.h"
#include "link/quorlink.h"
#include "rack/core/rack.h"

namespace testing_support {

namespace {

constexpr int kResetSeconds = 4;

}  // namespace

SlotIdentity identifySlot(int slot, int loaderGroup, int panelControl) {
    char identity[256] = {}, model[256] = {}, revision[256] = {}, revisions[1536] = {};
    int32_t identityLength = 0, modelLength = 0, revisionLength = 0, revisionsLength = 0;
    int32_t mode = -1, flag = -1, sub = -1;
    SlotIdentity id;
    id.result = GetComponentType(6000, slot, loaderGroup, recordMessage, identity, &identityLength,
                                 model, &modelLength, &mode, &flag, &sub, panelControl, revision,
                                 &revisionLength, revisions, &revisionsLength);
    id.identity.assign(identity, static_cast<size_t>(identityLength));
    id.model.assign(model, static_cast<size_t>(modelLength));
    id.hardwareRevision.assign(revision, static_cast<size_t>(revisionLength));
    id.amplifierMode = mode;
    id.loaderFlag = flag;
    id.subChannels = sub;
    return id;
}

nlohmann::json rackWithSlots(const nlohmann::json& slots) {
    return {{"timing", {{"resetMs", 3000}}},
            {"processor", {{"kind", "KX43"}, {"identity", "QTX,KX43,0,P1.52"}, {"version", "P1.52"}}},
            {"panel", {{"kind", "DV43A"}, {"flash", "large"}, {"version", "P4.02"}}},
            {"slots", slots}};
}

nlohmann::json slotOfType(int slot, int firmwareType) {
    const auto& m = fwgen::amplifierModel(firmwareType);
    return {{"slot", slot},         {"kind", m.kind},            {"firmwareType", firmwareType},
            {"moduleCode", m.moduleCode}, {"amtNumber", m.amtNumber}, {"version", "P0.99"}};
}

bool holdsApplication(const std::vector<uint8_t>& internal, const std::vector<uint8_t>& external,
                      const FirmwareFiles& files) {
    return testing_support::holdsApplication(internal, external, files.model.firmwareType,
                                             files.firmware.application);
}

bool holdsFirmware(const rack::amplifier::AmplifierModule& module, const FirmwareFiles& files) {
    return holdsApplication(module.flash().internal(), module.flash().external(), files);
}

void AmplifierRackTest::start(const std::vector<nlohmann::json>& slots) {
    useRack(rackWithSlots(nlohmann::json(slots)));
    ASSERT_EQ(open(), 0);
}

FirmwareFiles AmplifierRackTest::writeFirmware(int firmwareType, uint32_t seed) {
    FirmwareFiles files{fwgen::amplifierModel(firmwareType), {}, {}, {}, {}};
    files.firmware = fwgen::amplifierFirmware(files.model, seed);
    files.application = (directory / files.firmware.applicationName).string();
    files.loader2 = (directory / files.firmware.loader2Name).string();
    files.loader1 = (directory / files.firmware.loader1Name).string();
    writeFile(files.application, files.firmware.applicationText);
    writeFile(files.loader2, files.firmware.loader2Text);
    writeFile(files.loader1, files.firmware.loader1Text);
    return files;
}

template <typename F>
int AmplifierRackTest::step(const std::string& call, F&& f) {
    Step s{call, 0, rack().received().size(), 0};
    s.result = f();
    s.endLine = rack().received().size();
    steps.push_back(s);
    return s.result;
}

int AmplifierRackTest::enterLoader2(const FirmwareFiles& files, uint32_t mask, int subChannelReset, bool readId) {
    const int type = files.model.firmwareType;
    const int last = 31 - std::countl_zero(mask);
    // the first call of the first pass switches the panel out of the bus (into its loader I)
    const auto switchPanelOut = [&](int c) { return readId && c == std::countr_zero(mask) ? 1 : 0; };
    char id[256] = {};
    int32_t length = 0;
    for (int c = 0; c < 16; ++c) {
        if (!(mask & (1u << c))) continue;
        const int marker = c == last ? 0xFF : 0x55;
        int result = -111;  // a module not selectable may already run loader 1: asked again as such
        for (int already = 0; already < 2 && result == -111; ++already)
            result = step("Switch2Loader1", [&] {
                return Switch2Loader1(6000, c, 0, recordMessage, id, &length,
                                      files.model.moduleCode, already, type, subChannelReset,
                                      readId, switchPanelOut(c), marker);
            });
        if (result != 0) return result;
    }
    if (const int result = step("DownLoader2", [&] {
            return DownLoader2(6000, 0, 0, recordMessage, recordProgress, files.loader2.c_str(), type);
        }))
        return result;
    for (int c = 0; c < 16; ++c) {
        if (!(mask & (1u << c))) continue;
        if (const int result = step("Switch2Loader2", [&] {
                return Switch2Loader2(6000, c, 0, recordMessage, id, &length, type, readId);
            }))
            return result;
    }
    return 0;
}

int AmplifierRackTest::download(const FirmwareFiles& files, uint32_t mask, int programMode, bool loader1Area) {
    const int type = files.model.firmwareType;
    const int first = std::countr_zero(mask);
    const auto application = [&](int mode) {
        return step("DownApplication", [&] {
            return DownApplication(6000, first, 0, recordMessage, recordProgress,
                                   files.application.c_str(), files.model.moduleCode,
                                   static_cast<int32_t>(mask), type, mode, 0, 0);
        });
    };
    const auto start = [&](int finishing) {
        return step("SwitchWS", [&] {
            return SwitchWS(6000, first, 0, recordMessage, recordProgress, type, static_cast<int32_t>(mask),
                            static_cast<int32_t>(files.model.startAddress), kResetSeconds, finishing);
        });
    };
    if (const int result = enterLoader2(files, mask)) return result;
    if (loader1Area) {
        if (const int result = application(1)) return result;
    }
    if (const int result = application(programMode)) return result;
    if (const int result = start(0)) return result;
    if (const int result = enterLoader2(files, mask, 1, false)) return result;
    if (const int result = step("EstabWS", [&] {
            return EstabWS(6000, first, 0, recordMessage, files.model.moduleCode,
                           static_cast<int32_t>(mask), type, kResetSeconds);
        }))
        return result;
    return start(finalFinishingMode);
}

}  // namespace testing_support
