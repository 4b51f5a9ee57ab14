#pragma once
// Asks one position of the rack what it holds: the processor (34), the panel (33) or the
// amplifier module of a slot, falling back to the module's boot loader.
#include <cstdint>
#include <string>

namespace quorlink::amplifier {

inline constexpr int kPanelPosition = 33;
inline constexpr int kProcessorPosition = 34;

struct ComponentQuery {
    int position = 0;
    int loaderGroup = 0;    // 1 -> "PRC1,6," loader queries, others "PRC1,2,"; fallback for 0, 1
    int panelControl = 0;   // 1 switch the panel out first, 2 switch it back in afterwards
};

struct ComponentReport {
    std::string identity;
    std::string model;
    int amplifierMode = 0;
    int loaderFlag = 0;
    int subChannelCount = 0;
    std::string hardwareRevision = " ";
    std::string processorRevisions;
    bool hasModel = false;                // amplifier slots only
    bool hasProcessorRevisions = false;   // processor only
};

// 0, -2 time-out, -3 hardware revision time-out, -4 processor revision time-out, -20 panel
// refused to be switched out.
int identifyComponent(const ComponentQuery& query, ComponentReport& report);

// Model rules of an application identity: the field after the first "-" (or the first ",")
// up to the next ","; "RA77"/"RC77" followed by the field "S6" become RA77S6/RC77S6.
std::string modelFromIdentity(const std::string& identity);

}  // namespace quorlink::amplifier
