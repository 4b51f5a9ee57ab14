// KX43 firmware update: keeps the settings, starts the boot loader and copies the firmware
// files into the processor's flash file system, 128 bytes a command.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "link/channel/channel.h"
#include "link/channel/connection.h"
#include "link/channel/progress.h"
#include "link/images/temp_images.h"
#include "link/processor/kx43.h"
#include "link/processor/kx43_file_list.h"
#include "link/processor/kx43_ini_patch.h"
#include "link/processor/kx43_settings.h"
#include "link/processor/kx43_settings_file.h"
#include "link/processor/processor_common.h"
#include "linkpad/linkpad.h"

namespace quorlink::processor {

namespace {

constexpr size_t kDataBlock = 128;

int fail(const char* text, int result) {
    channel().reportMessage(text, 0);
    return result;
}

bool reestablish() {
    sendRestartTrigger();
    return reopenInterpreter() == 0;
}

std::filesystem::path fullPath(const std::string& directory, const std::string& name) {
    return std::filesystem::path(directory) / name;
}

int checkFiles(const Kx43Update& u, std::vector<std::string>& names) {
    auto parsed = parseFileList(u.fileList, u.fileCount);
    if (!parsed) return fail("Error in file list for KX download!", -5);
    for (const std::string& name : *parsed) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(fullPath(u.directory, name), error))
            return fail("Not all files found in current directory! ", -3);
    }
    names = std::move(*parsed);
    return 0;
}

bool storeHoldsSettings() {
    return std::ranges::any_of(settingsStore(), [](const std::string& value) {
        return !value.empty() && value != kNotAvailable;
    });
}

// Keeps the settings just read in a file, so that a retry by another process still has them.
void saveReadSettings() {
    Channel& ch = channel();
    storeFile() = saveSettings(settingsStore(), ch.state()).value_or(std::filesystem::path());
    if (storeFile().empty())
        ch.reportMessage(
            "The KX settings could not be saved in " + settingsFolder().string() +
                ": if this update is cut, a retry will not restore them.",
            1);
}

// The processor was found in its boot loader: an earlier attempt was cut. Its settings come from
// the file saved for this connection, else from what this process read before.
void takeSavedSettings() {
    Channel& ch = channel();
    if (auto saved = pendingSettings(ch.state())) {
        settingsStore() = saved->store;
        storeFile() = saved->file;
        ch.reportMessage("KX is in its boot loader: the settings saved in " +
                             saved->file.string() + " are written back after the update.",
                         1);
    } else if (!storeHoldsSettings()) {
        storeFile().clear();
        ch.reportMessage(
            "KX is in its boot loader and no saved settings were found: the processor will "
            "come back with default settings!",
            1);
    }
    markUnreadSettings();
}

// After the boot loader was started a failure leaves the processor there; says so and what next.
int leftInBootLoader(int result) {
    const std::string saved =
        storeFile().empty() ? "" : ", its settings are saved in " + storeFile().string();
    channel().reportMessage(
        "KX is left in its boot loader" + saved + ". Run the same update again.", 0);
    return result;
}

int startBootLoader(const Kx43Update& u) {
    Channel& ch = channel();
    ch.waitMs(2);
    flushQueues();
    std::string answer;
    if (ch.query("PRC9,1\n", answer, kKx43AnswerLimit) != 0) return fail("Port Timeout!", -1);
    if (!answer.starts_with("0"))
        return fail(
            "Activating KX-Bootloader failed! Look for correct connection and try again.", -2);
    waitSteps(restartSteps(u.restartWait, u.variant));
    flushQueues();
    return 0;
}

// Sends the data commands of one file; the initialisation file's first block carries the
// connection in use on the older generation.
int sendFileData(std::ifstream& file, const std::string& name, int32_t variant) {
    Channel& ch = channel();
    const auto size = static_cast<int64_t>(file.seekg(0, std::ios::end).tellg());
    file.seekg(0);
    const bool patched = name == kInitialisationFile && variant != 5;
    std::string block(kDataBlock, '\0');
    for (int64_t remaining = size; remaining > 0;) {
        ch.reportProgress(percentDone(remaining, size));
        block.resize(static_cast<size_t>(std::min<int64_t>(remaining, kDataBlock)));
        if (!file.read(block.data(), static_cast<std::streamsize>(block.size())))
            return fail("Error opening file on local machine!", -3);
        if (patched && remaining == size) patchInitialisationBlock(block, ch.state());
        remaining -= static_cast<int64_t>(block.size());
        std::string command = "PRC9,3,,\"";
        appendHex(command, reinterpret_cast<const uint8_t*>(block.data()), block.size());
        command += "\"\n";
        std::string answer;
        if (ch.query(command, answer, kKx43AnswerLimit) != 0) return fail("Port Timeout!", -1);
        if (!answer.starts_with("0")) return fail("Writing Data to KX failed!", -2);
    }
    return 0;
}

int copyFile(const Kx43Update& u, const std::string& name) {
    Channel& ch = channel();
    std::ifstream file(fullPath(u.directory, name), std::ios::binary);
    if (!file) return fail("Error opening file on local machine!", -3);
    ch.reportStatus("Transferring " + name + "...", 10);
    std::string answer;
    if (ch.query("PRC9,2," + name + "\n", answer, kKx43AnswerLimit) != 0)
        return fail("Port Timeout!", -1);
    if (!answer.starts_with("0"))
        return fail(
            "Error opening file on KX-Flash!\nPlease switch your Ventrix off and on again!\nKX "
            "should be in bootloader then, repeat download!",
            -3);
    if (const int sent = sendFileData(file, name, u.variant); sent != 0) return sent;
    if (ch.query("PRC9,4\n", answer, kKx43AnswerLimit) != 0) return fail("Port Timeout!", -1);
    if (!answer.starts_with("0")) return fail("Error closing file on KX-Flash!", -2);
    return 0;
}

// Prepares the boot loader's file system and copies every file into it.
int copyFiles(const Kx43Update& u, const std::vector<std::string>& names) {
    Channel& ch = channel();
    if (!reestablish()) return fail("Error reset system, maybe timeout.", -1);
    ch.waitSeconds(1);
    std::string answer;
    if (ch.query("PRC9,7\n", answer, kKx43AnswerLimit) != 0) return fail("Port Timeout!", -1);
    for (const std::string& name : names)
        if (const int copied = copyFile(u, name); copied != 0) return copied;
    return 0;
}

}  // namespace

int updateKx43(const Kx43Update& u) {
    Channel& ch = channel();
    DeleteTempImages();
    std::vector<std::string> names;
    if (const int checked = checkFiles(u, names); checked != 0) return checked;
    if (!reestablish()) return fail("Error reset system, maybe timeout.", -1);
    std::string answer;
    if (ch.query("PRC?9\n", answer, kKx43AnswerLimit) != 0) return fail("Port Timeout!", -1);
    if (answer.starts_with("1")) {
        takeSavedSettings();
    } else {
        if (readSettings(settingsSetOf(u.variant)) != 0) return -1;
        saveReadSettings();
        if (const int started = startBootLoader(u); started != 0) return started;
    }
    const int copied = copyFiles(u, names);
    return copied == 0 ? 0 : leftInBootLoader(copied);
}

}  // namespace quorlink::processor
