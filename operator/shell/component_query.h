#pragma once
// GetComponentType through the bound library, with its texts copied out of the C buffers.
#include <QString>

#include "operator/shell/quorlink_library.h"

namespace quorvel {

struct ComponentAnswer {
    int result = 0;
    QString identity;
    QString model;
    QString hardwareRevision;
    QString revisions;
    int amplifierMode = 0;
    int loaderFlag = 0;
    int subChannelCount = 0;
};

// Positions of GetComponentType besides the slots 0-15.
constexpr int kPanelPosition = 33;
constexpr int kProcessorPosition = 34;

// Throws LibraryError when the library or the export is missing.
ComponentAnswer GetComponentType(QuorlinkLibrary& library, int timeoutMs, int position,
                                 int loaderGroup, QuorlinkCallback message, int panelControl);

}  // namespace quorvel
