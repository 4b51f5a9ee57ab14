// C export of the component identification.
#include "link/amplifier/component_type.h"
#include "link/amplifier/loader_talk.h"
#include "link/quorlink.h"
#include "linkpad/linkpad.h"

using namespace quorlink::amplifier;

namespace {

void clearOutputs(int32_t* mode, int32_t* loaderFlag, int32_t* subChannels, char* hardwareRevision,
                  int32_t* hardwareRevisionLength) {
    for (int32_t* output : {mode, loaderFlag, subChannels})
        if (output) *output = 0;
    copyOut(" ", hardwareRevision, hardwareRevisionLength);
}

}  // namespace

extern "C" {

int32_t GetComponentType(int32_t timeoutMs, int32_t position, int32_t loaderGroup,
                         QuorlinkCallback message, char* identity, int32_t* identityLength,
                         char* model, int32_t* modelLength, int32_t* amplifierMode,
                         int32_t* loaderFlag, int32_t* subChannelCount, int32_t panelControl,
                         char* hardwareRevision, int32_t* hardwareRevisionLength,
                         char* processorRevisions, int32_t* processorRevisionsLength) {
    quorlink::channel().setMessageCallback(message);
    QTX_SetTimeout(timeoutMs);
    clearOutputs(amplifierMode, loaderFlag, subChannelCount, hardwareRevision, hardwareRevisionLength);
    ComponentReport report;
    const int result = identifyComponent({position, loaderGroup, panelControl}, report);
    if (result != 0) return result;
    copyOut(report.identity, identity, identityLength);
    if (report.hasModel) copyOut(report.model, model, modelLength);
    else if (modelLength) *modelLength = 0;
    if (report.hasProcessorRevisions) copyOut(report.processorRevisions, processorRevisions, processorRevisionsLength);
    else if (processorRevisionsLength) *processorRevisionsLength = 0;
    copyOut(report.hardwareRevision, hardwareRevision, hardwareRevisionLength);
    if (amplifierMode) *amplifierMode = report.amplifierMode;
    if (loaderFlag) *loaderFlag = report.loaderFlag;
    if (subChannelCount) *subChannelCount = report.subChannelCount;
    return 0;
}

}  // extern "C"
