#pragma once
// A NodePod firmware set as the download directory holds it: the application, loader 1, the two
// loader-2 files and the type table "NodePod.cfg".
#include <cstdint>
#include <string>
#include <vector>

namespace fwgen {

struct NodePodType {
    uint16_t typeNumber = 21;
    std::string stem = "NP21";       // file name stem of the type table
    std::string name = "NodePod-S";  // reported by the application
};

struct NodePodSet {
    NodePodType type;
    std::string version = "2.05";  // "d.dd": the application's version
    std::string loader1Version = "1.10";
    std::string loader2Version = "2.01";
    uint32_t codeSize = 0x3000;
};

struct NodePodFiles {
    std::string application;  // <stem>p<ddd>.s19
    std::string loader1;      // <stem>p<loader-1 digits>.ld1
    std::string loader2Old;   // <stem>p<ddd>.ld2
    std::string loader2New;   // <stem>p<ddd>N4.ld2
};

// Writes the four firmware files into `directory` and returns their paths.
NodePodFiles writeNodePodSet(const std::string& directory, const NodePodSet& set);

// "NodePod.cfg" (format V2) describing the given types.
void writeNodePodConfig(const std::string& directory, const std::vector<NodePodType>& types);

}  // namespace fwgen
