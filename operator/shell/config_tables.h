#pragma once
// The hardware tables: amplifiers ("ws.cfg"), NodePods ("NodePod.cfg"), processors ("kx.cfg")
// and the built-in table of amplifier controller generations.
#include <QString>
#include <vector>

namespace quorvel {

struct AmplifierRow {
    long long amtNumber = 0;
    long long ampCode = 0;
    QString typePrefix;
    long long startAddress = 0;
    QString typeName;
    QString secondTypePrefix;
};

struct NodePodRow {
    long long type = 0;
    QString datName;
    long long adrAppl = 0;
    long long adrL1 = 0;
    long long adrL2 = 0;         // hardware revision below 3.0
    long long adrL2Rev3 = 0;     // hardware revision 3.0 or higher
};

struct ProcessorRow {
    QString model;
    QString lowestRevision;   // "-" for any
    QString highestRevision;  // "-" for any
    QString processorType;
};

struct ControllerRow {
    QString model;
    int controllerKind = 0;
};

struct ConfigTables {
    static constexpr size_t kAmplifierRows = 71;
    static constexpr size_t kNodePodRows = 71;
    static constexpr size_t kProcessorRows = 31;

    std::vector<AmplifierRow> amplifiers;
    std::vector<NodePodRow> nodePods;
    std::vector<ProcessorRow> processors;
    std::vector<ControllerRow> controllers;
};

// The controller models amplifier modules name, with their firmware type, in search order.
const std::vector<ControllerRow>& BuiltinControllerTable();

// The module code of the first amplifier row named `typeName` exactly; 0 when none is.
long long ModuleCodeByTypeName(const ConfigTables& tables, const QString& typeName);

}  // namespace quorvel
