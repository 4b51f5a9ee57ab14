#include "link/panel/panel_update.h"

#include <functional>

#include "link/channel/progress.h"
#include "link/images/block_text.h"
#include "link/images/intel_hex.h"
#include "link/images/temp_images.h"
#include "link/panel/c_file.h"
#include "link/panel/flash_layout.h"
#include "link/panel/loader2_file.h"
#include "link/panel/panel_commands.h"
#include "link/panel/sector_programmer.h"

namespace quorlink::panel {

namespace {

constexpr const char* kRecordFileError =
    "Error in Record-File! \nChecksum-Error, or File is not an Intel-HEX-Recordfile.";
constexpr const char* kFlashMismatch =
    "Your DV33A flashsize does not match \nwith the selected firmware.";
constexpr const char* kNoLoaderIOnSmallFlash =
    "Function not available for this flash size! \nPlease restart your VTX-system manually!";
constexpr const char* kOldLoaderITimeout =
    "Port Timeout!\nIf you have an DVxx firmware version <P4.00\nand you'll try to update to a "
    "version >=P4.00\nyou have to perform a loader1 update first!";
constexpr const char* kProgrammingFileError = "Error opening Programming File.";

constexpr int kLoaderIIPieces = 64;
constexpr int kLoaderISectors[] = {1021, 1022, 1023};
constexpr int64_t kLargeApplicationLimit = 0x80001;  // from this end address on: 2048 sectors

// The temporary images live until the update ends, whichever way it ends.
struct TempImagesCleanup {
    ~TempImagesCleanup() { DeleteTempImages(); }
};

class PanelUpdate {
  public:
    PanelUpdate(Channel& channel, const PanelUpdateRequest& request)
        : ch_(channel), request_(request) {}

    int run();

  private:
    bool large() const { return layout_.layout == FlashLayout::Large; }
    int sectorSize() const { return large() ? 512 : 256; }
    int fail(std::string_view text, int code) {
        ch_.reportMessage(text, 0);
        return code;
    }

    int switchToLoaderI();
    int chooseLayout();
    int transferLoaderII(const std::string& path);
    int addressLoaderII();
    int sendLoaderIIPieces(std::FILE* image);
    int startLoaderII();
    int updateLoaderI();
    int downloadApplication();
    // Converts a HEX file into a fresh temporary image of blocks x blockSize bytes.
    int convert(const std::string& path, int blocks, int blockSize, int64_t paragraphs,
                const char* openError, std::FILE*& image);
    int programSectors(std::FILE* image, int first, int last,
                       const std::function<int(int)>& progressBefore);

    Channel& ch_;
    const PanelUpdateRequest& request_;
    LayoutChoice layout_;
};

int PanelUpdate::run() {
    DeleteTempImages();
    TempImagesCleanup cleanup;
    const auto loader2 = findLoader2File(request_.firmwarePath);
    if (!loader2) return fail("DV33-Loader not found!", -3);
    if (int r = switchToLoaderI()) return r;
    if (int r = chooseLayout()) return r;
    if (int r = transferLoaderII(*loader2)) return r;
    if (request_.loaderIUpdate && large()) {
        if (int r = updateLoaderI()) return r;
    } else if (request_.downloadApplication) {
        if (int r = downloadApplication()) return r;
    }
    std::string answer;
    if (ch_.query("PRC2,2,C\r\n", answer, 100) != 0) return fail(kPortTimeout, -1);
    DeleteTempImages();
    return startPanelApplication(ch_) == 0 ? 0 : -5;
}

int PanelUpdate::switchToLoaderI() {
    switch (sendPanelCommand(ch_, "PRC2,1")) {
        case Verdict::Timeout:
            return fail(kPortTimeout, -1);
        case Verdict::Refused:
            return fail("Error switching DV33 to LoaderI!", -2);
        case Verdict::Accepted:
            break;
    }
    ch_.waitSeconds(1);
    switch (sendPanelCommand(ch_, "BDR19200,0,1,3")) {
        case Verdict::Timeout:
            return fail(kPortTimeout, -1);
        case Verdict::Refused:
            return fail("Error switching DV33-Port to 19200 Baud!", -2);
        case Verdict::Accepted:
            return 0;
    }
    return -2;
}

int PanelUpdate::chooseLayout() {
    std::string identity;
    if (sendPanelCommand(ch_, "DID?", identity) == Verdict::Timeout)
        return fail(kPortTimeout, -1);
    layout_ = chooseFlashLayout(identity, request_.version, request_.loaderIUpdate);
    if (layout_.result == -2) return fail(kFlashMismatch, -2);
    if (layout_.result == -13) return fail(kNoLoaderIOnSmallFlash, -13);
    return 0;
}

int PanelUpdate::convert(const std::string& path, int blocks, int blockSize, int64_t paragraphs,
                         const char* openError, std::FILE*& image) {
    image = CreateTempImage();
    CFile file = openFile(path, "r");
    if (!image || !file) return fail(openError, -3);
    if (ConvertIntelHex(file.get(), image, blocks, paragraphs, blockSize, 0x00, 0, 0) != 0)
        return fail(kRecordFileError, -4);
    return 0;
}

int PanelUpdate::transferLoaderII(const std::string& path) {
    ch_.reportStatus("Transfer Loader2...", 0);
    std::FILE* image = nullptr;
    const int64_t paragraphs = large() ? -0xB800 : -0x7800;
    if (int r =
            convert(path, kLoaderIIPieces, sectorSize(), paragraphs, kProgrammingFileError, image))
        return r;
    if (int r = addressLoaderII()) return r;
    if (int r = sendLoaderIIPieces(image)) return r;
    return startLoaderII();
}

int PanelUpdate::addressLoaderII() {
    Verdict verdict = sendPanelCommand(ch_, "PRC2,2,A00000000");
    if (large() && verdict == Verdict::Refused) verdict = sendPanelCommand(ch_, "PRC2,2,A00000000");
    if (verdict == Verdict::Timeout) return fail(kPortTimeout, -1);
    if (verdict == Verdict::Accepted) return 0;
    if (large()) return fail("Error adressing DV33-LoaderII!", -1);
    ch_.reportMessage("Error adressing DV-Loader2!", 0);
    return 0;
}

int PanelUpdate::sendLoaderIIPieces(std::FILE* image) {
    for (int i = 0; i < kLoaderIIPieces; ++i) {
        ch_.reportProgress(percentDone(kLoaderIIPieces - i, kLoaderIIPieces));
        std::string line = "PRC2,2,D";
        if (RenderBlock128(line, i, line.size(), image, 0x00) < 0)
            return fail(kProgrammingFileError, -3);
        std::string answer;
        switch (sendPanelLine(ch_, line, answer)) {
            case Verdict::Timeout:
                return fail(kPortTimeout, -1);
            case Verdict::Refused:
                return fail(large() ? "Error downloading DV Loader2 Data!"
                                    : "Error uploading DV Loader2 Data!",
                            -1);
            case Verdict::Accepted:
                break;
        }
    }
    return 0;
}

int PanelUpdate::startLoaderII() {
    switch (sendPanelCommand(ch_, "PRC2,2,S00000000")) {
        case Verdict::Timeout:
            return fail(large() ? kOldLoaderITimeout : kPortTimeout, -1);
        case Verdict::Refused:
            return fail(large() ? "Error starting DV Loader2!" : "Error starting DV33-LoaderII!",
                        -2);
        case Verdict::Accepted:
            return 0;
    }
    return -2;
}

int PanelUpdate::updateLoaderI() {
    ch_.waitMs(200);
    switch (sendPanelCommand(ch_, "PRC2,2,L1", true)) {
        case Verdict::Timeout:
            return fail(kPortTimeout, -1);
        case Verdict::Refused:
            return fail(
                "Error loader1 flash block enable! \nMaybe you are using an old loader2 "
                "version!",
                -2);
        case Verdict::Accepted:
            break;
    }
    ch_.reportStatus("Download loader1...", 1);
    std::FILE* image = nullptr;
    if (int r = convert(request_.firmwarePath, 1024, 512, 0,
                        "Error opening loader1 programming file!", image))
        return r;
    const int count = static_cast<int>(std::size(kLoaderISectors));
    if (int r = programSectors(image, kLoaderISectors[0], kLoaderISectors[count - 1],
                               [=](int k) { return k * 100 / count; }))
        return r;
    ch_.reportProgress(100);
    return 0;
}

int PanelUpdate::downloadApplication() {
    ch_.reportStatus("Download application...", 1);
    std::FILE* image = nullptr;
    if (!large()) {
        if (int r = convert(request_.firmwarePath, 1024, 256, 0, kProgrammingFileError, image))
            return r;
        return programSectors(
            image, 0, 1023, [](int j) { return percentDone(1024 - j, 1024); });
    }
    CFile file = openFile(request_.firmwarePath, "r");
    if (!file) return fail(kProgrammingFileError, -3);
    int64_t lowest = -1;
    int64_t end = -1;
    if (ScanIntelHexRange(file.get(), 0, -1, lowest, end) != 0) return fail(kRecordFileError, -10);
    const int sectors = end >= kLargeApplicationLimit ? 2048 : 1024;
    if (int r = convert(request_.firmwarePath, 2048, 512, 0, kProgrammingFileError, image))
        return r;
    return programSectors(image, 0, sectors - 1,
                          [sectors](int j) { return percentDone(sectors - j, sectors); });
}

int PanelUpdate::programSectors(std::FILE* image, int first, int last,
                                const std::function<int(int)>& progressBefore) {
    SectorProgrammer programmer(ch_, image, layout_.layout, layout_.skipEmptyPieces);
    for (int sector = first; sector <= last; ++sector) {
        ch_.reportProgress(progressBefore(sector - first));
        if (int r = programmer.program(sector)) return r;
    }
    return 0;
}

}  // namespace

int updatePanel(Channel& channel, const PanelUpdateRequest& request) {
    return PanelUpdate(channel, request).run();
}

}  // namespace quorlink::panel
