#include "tools/fwgen/nodepod_set.h"

#include "rack/nodepod/nodepod_firmware.h"
#include "tools/fwgen/fwgen.h"

namespace fwgen {

namespace {

namespace fw = nodepod_firmware;

std::vector<Segment> asSegments(const std::vector<fw::Segment>& parts) {
    std::vector<Segment> segments;
    for (const auto& p : parts) segments.push_back({p.address, p.data});
    return segments;
}

// "2.05" -> "205", the digits the firmware list reads the version from.
std::string versionDigits(const std::string& version) {
    std::string digits;
    for (const char c : version)
        if (c >= '0' && c <= '9') digits += c;
    return digits;
}

std::string writeSRecord(const std::string& path, const std::vector<fw::Segment>& parts,
                         const std::string& header) {
    SRecordOptions options;
    options.header = header;
    writeFileAtomically(path, toSRecord(asSegments(parts), options));
    return path;
}

}  // namespace

NodePodFiles writeNodePodSet(const std::string& directory, const NodePodSet& set) {
    const std::string base = directory + "/" + set.type.stem + "p" + versionDigits(set.version);
    fw::ApplicationInfo application;
    application.typeNumber = set.type.typeNumber;
    application.name = set.type.name;
    application.version = set.version;
    application.codeSize = set.codeSize;
    NodePodFiles files;
    files.application =
        writeSRecord(base + ".s19", fw::buildApplication(application), set.type.stem);
    const std::string loader1Base =
        directory + "/" + set.type.stem + "p" + versionDigits(set.loader1Version);
    files.loader1 = writeSRecord(loader1Base + ".ld1",
                                 fw::buildLoader1({set.loader1Version, fw::Hardware::Old}),
                                 set.type.stem + " loader 1");
    files.loader2Old =
        writeSRecord(base + ".ld2", fw::buildLoader2({set.loader2Version, fw::Hardware::Old}),
                     set.type.stem + " loader 2");
    files.loader2New =
        writeSRecord(base + "N4.ld2", fw::buildLoader2({set.loader2Version, fw::Hardware::New}),
                     set.type.stem + " loader 2 N4");
    return files;
}

void writeNodePodConfig(const std::string& directory, const std::vector<NodePodType>& types) {
    std::string text = "QTX,V2\r\n";
    for (const auto& t : types) {
        text += std::to_string(t.typeNumber) + ",\"" + t.stem + "\"," +
                std::to_string(fw::kFlashStart + 0x100) + "," + std::to_string(fw::kLoader1Start) +
                "," + std::to_string(fw::kOldLoader2Address) + "," +
                std::to_string(fw::kNewLoader2Address) + "\r\n";
    }
    writeFileAtomically(directory + "/NodePod.cfg", text);
}

}  // namespace fwgen
