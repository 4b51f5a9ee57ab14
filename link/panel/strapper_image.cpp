#include "link/panel/strapper_image.h"

#include <cstdio>
#include <optional>

#include "link/images/strapper_hex.h"
#include "link/panel/c_file.h"

namespace quorlink::panel {

namespace {

std::string hexAddress(int64_t address) {
    char text[24];
    std::snprintf(text, sizeof text, "%llx", static_cast<long long>(address));
    return text;
}

int copyHexFile(const std::string& name, std::FILE* image, int64_t imageSize,
                StrapperReporter& reporter) {
    reporter.restartProgressInterval();
    reporter.report("HexFile = " + name, 0);
    reporter.log("HexFile = " + name + " ...");
    CFile hex = openFile(name, "r");
    if (!hex) return kStrapperCannotOpen;
    const auto progress = [&reporter](int percent) { reporter.progressAtMostEvery500ms(percent); };
    if (CopyHexToImage(hex.get(), image, progress, imageSize) != 0) {
        // A firmware file that cannot be copied would leave a partial image in the panel.
        reporter.log("HexFile = " + name + " is not a readable Intel-HEX file");
        return kStrapperCannotOpen;
    }
    return 0;
}

int writeText(std::FILE* image, const char* what, const std::string& text,
              std::optional<int64_t> address, int64_t imageSize, StrapperReporter& reporter) {
    if (!address) return 0;
    reporter.log(std::string("Set ") + what + " = " + text +
                 " at address = " + hexAddress(*address) + " ...");
    const auto length = static_cast<int64_t>(text.size());
    if (*address < 0 || *address + length > imageSize) return kStrapperSyntaxError;
    if (std::fseek(image, static_cast<long>(*address), SEEK_SET) != 0 ||
        std::fwrite(text.data(), 1, text.size(), image) != text.size())
        return kStrapperCannotOpen;
    return 0;
}

}  // namespace

int buildFlashImage(const StrapperParameters& p, StrapperReporter& reporter) {
    reporter.log("Create and clear DatFile = " + p.imageFile + " ...");
    CFile image = openFile(p.imageFile, "w+b");
    if (!image) return kStrapperCannotOpen;
    if (ClearImage(image.get(), p.imageSize) != 0) return kStrapperCannotOpen;
    for (const auto& name : p.hexFiles) {
        if (int r = copyHexFile(name, image.get(), p.imageSize, reporter)) return r;
    }
    if (int r = writeText(image.get(), "SerialNumber", p.serialNumber, p.serialAddress, p.imageSize,
                          reporter))
        return r;
    if (int r = writeText(image.get(), "RevisionNumber", p.revisionNumber, p.revisionAddress,
                          p.imageSize, reporter))
        return r;
    return std::fclose(image.release()) == 0 ? 0 : kStrapperCannotOpen;
}

}  // namespace quorlink::panel
