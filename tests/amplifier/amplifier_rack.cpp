#include "amplifier_rack.h"

#include "link/quorlink.h"

namespace testing_support {

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
            {"slots", slots}};
}

}  // namespace testing_support
