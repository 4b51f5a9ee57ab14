// The KX33 drivers against the simulated rack: the download with its attempts and texts, and the
// upload of the whole flash into a file.
#include "operator/drivers/kx33_driver.h"

#include <QDir>
#include <QFile>
#include <fstream>

#include "driver_rack.h"
#include "operator/drivers/kx33_upload_driver.h"
#include "rack/processor/kx33_board.h"
#include "tools/fwgen/processor_firmware.h"

using namespace quorvel;

namespace driver_tests {
namespace {

constexpr size_t kBlocks = 256;  // one flash sector
const QString kCritical =
    "C R I T I C A L    E R R O R   !!!\r\rKX33 Flash is not in an operating state!\rDo not "
    "reboot your Ventrix system!\r\r";

const nlohmann::json kKx33Rack = {{"timing", {{"resetMs", 1500}}},
                                  {"processor",
                                   {{"kind", "KX33"},
                                    {"identity", "QTX,KX33,0,P2.06"},
                                    {"version", "P2.06"},
                                    {"restartMs", 1000},
                                    {"sectorMs", 10}}}};

class Kx33DriverTest : public DriverRackTest {
  protected:
    Kx33DriverTest() {
        QDir().mkpath(downloads("KX33P210.S00"));
        image_ = fwgen::kx33Image("P2.10", kBlocks * 512, 9);
        std::ofstream(downloads("KX33P210.S00/kx33.bin").toStdString(), std::ios::binary)
            .write(reinterpret_cast<const char*>(image_.data()),
                   static_cast<std::streamsize>(image_.size()));
        std::ofstream(downloads("KX33P210.S00/KX33.CFG").toStdString())
            << fwgen::kx33FunctionFile("kx33.bin", kBlocks);
    }
    rack::Kx33Board& board() { return dynamic_cast<rack::Kx33Board&>(*rack().processor()); }
    bool flashHoldsImage() {
        return board().flash().compare(0, image_.size(),
                                       std::string(image_.begin(), image_.end())) == 0;
    }

    std::vector<uint8_t> image_;
};

TEST_F(Kx33DriverTest, DownloadWritesTheImageAndRestarts) {
    startOn(kKx33Rack);
    int refreshed = 0;
    context->refreshDeviceTree = [&refreshed] { ++refreshed; };
    ui.expectList(0);
    ASSERT_EQ(RunKx33Driver(*context), 0);
    EXPECT_TRUE(flashHoldsImage());
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(testing_support::StepsOfTheRun(ui.positions, ui.positionTimesMs),
              (QStringList{"processor KX33 · step 1 of 3 (transfer firmware)",
                           "processor KX33 · step 2 of 3 (restart)",
                           "processor KX33 · step 3 of 3 (identify processor)"}));
    EXPECT_EQ(ui.statuses.back(), "Download finished!");
    EXPECT_TRUE(protocol().contains("Establish KX33()."));
    EXPECT_EQ(protocol().back(), "-->Download KX33 finished.<--");
}

// Flash-phase failures (-40 and below) are tried once more, others are not. A processor that
// does not come back after the restart fails the run: its flash holds the new firmware, but the
// rack does not answer.
TEST_F(Kx33DriverTest, AttemptsAndTheirTexts) {
    struct Case {
        const char* pattern;  // the command whose answer the fault takes; empty: every flashing report is wrong
        QString libraryText;  // the library's message of each attempt
        std::vector<QString> texts;
        rack::FaultAction action = rack::FaultAction::Drop;
    };
    const std::vector<Case> cases = {
        {"",
         "Error flashing! Didn't get block number information!",
         {kCritical + "Quorlink will try again!",
          kCritical + "Please try again and never reboot or\rswitch off the device until\rdownload "
                      "of KX33 firmware was successful!"}},
        {"^PRC310,3,",
         "Port Timeout!",
         {"Error in transferring data to KX33 device!\rFirmware has not been changed!\rPlease "
          "check your connection and try again!"}},
        {"^PRC9,1$",
         "Error reset system, maybe timeout!",
         {"Flash programmed correctly with new firmware!\rRestart of Firmware failed, please check "
          "KX33 device\ror choose a higher reset time value in port settings menu!"},
         rack::FaultAction::PowerOff},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        startOn(kKx33Rack);
        if (*c.pattern)
            rack().faults().add({c.pattern, 1, c.action});
        else
            board().misreportSector(0, 2);
        ui.expectList(0);
        for (const QString& text : c.texts) ui.expectMessage(c.libraryText).expectMessage(text);
        EXPECT_LT(RunKx33Driver(*context), 0);
        ui.verify();
        EXPECT_EQ(countReceived("PRC300,1"), static_cast<int>(c.texts.size()));
        EXPECT_EQ(ui.statuses.back(), "Error download!");
    }
}

// The whole flash goes into the chosen file. Then the replace question: Cancel shows the file
// dialog again, No keeps the old file until the upload replaces it; a failed upload leaves the
// old file as it was.
TEST_F(Kx33DriverTest, UploadStreamsTheWholeFlashAndAFailedUploadKeepsTheOldFile) {
    startOn(kKx33Rack);
    board().loadFlash(0, std::string(image_.begin(), image_.end()));
    const QString target = QDir(directory.path()).filePath("KX33pP206.upl");
    ui.expectSaveFile(target).expectMessage("Upload finished!");
    ASSERT_EQ(RunKx33UploadDriver(*context), 0);
    EXPECT_EQ(ui.proposedPaths.back().section('/', -1), "KX33pP206.upl");
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.size(), 8192 * 512);
    EXPECT_EQ(file.read(static_cast<qint64>(image_.size())),
              QByteArray(reinterpret_cast<const char*>(image_.data()),
                         static_cast<qsizetype>(image_.size())));
    EXPECT_EQ(ui.statuses.back(), "Upload finished!");
    file.close();

    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old");
    file.close();
    rack().faults().add({"^PRC\\?310,100$", 1, rack::FaultAction::Drop});
    const QString question = "Replace existing file - " + target + " ?";
    ui.expectSaveFile(target)
        .expectMessage(question, kAnswerCancel)
        .expectSaveFile(target)
        .expectMessage(question, kAnswerNo)
        .expectMessage("Port Timeout!")
        .expectMessage("Error upload!\rPlease restart your VTX-System\rand try again!");
    EXPECT_NE(RunKx33UploadDriver(*context), 0);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "old");
    EXPECT_EQ(ui.statuses.back(), "Error upload!");
}

}  // namespace
}  // namespace driver_tests
