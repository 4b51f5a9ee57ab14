#include "operator/drivers/library_gateway.h"

#include <vector>

#include "operator/shell/callbacks.h"

namespace quorvel {
namespace {

// Identification answers are single lines; the library never writes more than this.
constexpr int kIdentificationBuffer = 1024;
constexpr int kVersionBuffer = 255;

// A caller buffer for one text output and its length.
struct TextOut {
    explicit TextOut(int size) : bytes(static_cast<size_t>(size) + 1, '\0') {}
    QString text() const {
        const int kept = std::clamp(length, 0, static_cast<int>(bytes.size()) - 1);
        return QString::fromLocal8Bit(bytes.data(), kept);
    }
    std::vector<char> bytes;
    int32_t length = 0;
};

QByteArray local(const QString& text) { return text.toLocal8Bit(); }

}  // namespace

int LibraryGateway::Switch2Loader1(const Loader1Switch& c, QString* identification) {
    TextOut id(kIdentificationBuffer);
    const int result = call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, Switch2Loader1, kTimeoutMs, c.channel, 0, MessageCallback,
                               id.bytes.data(), &id.length, c.activationCode,
                               c.alreadyInLoader1 ? 1 : 0, c.firmwareType, c.subChannelReset,
                               c.readIdentification ? 1 : 0, c.panelSwitchOut ? 1 : 0, c.marker);
    });
    if (identification) *identification = result == 0 ? id.text() : QString();
    return result;
}

int LibraryGateway::Switch2Loader2(int channel, int firmwareType, bool readIdentification,
                                   QString* identification) {
    TextOut id(kIdentificationBuffer);
    const int result = call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, Switch2Loader2, kTimeoutMs, channel, 0, MessageCallback,
                               id.bytes.data(), &id.length, firmwareType,
                               readIdentification ? 1 : 0);
    });
    if (identification) *identification = result == 0 ? id.text() : QString();
    return result;
}

int LibraryGateway::DownLoader2(int channel, const QString& path, int firmwareType) {
    const QByteArray file = local(path);
    return call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, DownLoader2, kTimeoutMs, channel, 0, MessageCallback,
                               ProgressCallback, file.constData(), firmwareType);
    });
}

int LibraryGateway::DownApplication(const ApplicationDownload& c) {
    const QByteArray file = local(c.path);
    return call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, DownApplication, kTimeoutMs, c.channel, 0, MessageCallback,
                               ProgressCallback, file.constData(), c.moduleCode, c.channelMask,
                               c.firmwareType, c.programMode, 0, c.activateOnly ? 1 : 0);
    });
}

int LibraryGateway::SwitchWS(int channel, int firmwareType, int channelMask, int startAddress,
                             int resetSeconds, int finishingMode) {
    return call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, SwitchWS, kTimeoutMs, channel, 0, MessageCallback,
                               ProgressCallback, firmwareType, channelMask, startAddress,
                               resetSeconds, finishingMode);
    });
}

int LibraryGateway::EstabWS(int channel, int moduleCode, int channelMask, int firmwareType,
                            int resetSeconds) {
    return call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, EstabWS, kTimeoutMs, channel, 0, MessageCallback,
                               moduleCode, channelMask, firmwareType, resetSeconds);
    });
}

int LibraryGateway::UpLoadRAFlash(int channel, const QString& path, int firmwareType,
                                  int resetSeconds, bool externalOnly) {
    const QByteArray file = local(path);
    return call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, UpLoadRAFlash, kTimeoutMs, channel, 0, MessageCallback,
                               ProgressCallback, file.constData(), 0, 0, firmwareType, resetSeconds,
                               externalOnly ? 1 : 0);
    });
}

int LibraryGateway::UpLoadRAEEPROM(int channel, const QString& pathPrefix) {
    const QByteArray prefix = local(pathPrefix);
    return call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, UpLoadRAEEPROM, kTimeoutMs, channel, MessageCallback,
                               ProgressCallback, prefix.constData());
    });
}

int LibraryGateway::ChangeRcRaMode(int channelMask, int targetMode) {
    return call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, ChangeRcRaMode, kTimeoutMs, 0, MessageCallback,
                               ProgressCallback, channelMask, targetMode);
    });
}

int LibraryGateway::ChangeSubChanRA51(int channelMask, int count, int resetSeconds, int variant) {
    return call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, ChangeSubChanRA51, kTimeoutMs, 0, MessageCallback,
                               ProgressCallback, channelMask, count, resetSeconds, variant);
    });
}

int LibraryGateway::ClearUccs(int channelMask) {
    return call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, ClearUccs, kTimeoutMs, 0, MessageCallback, ProgressCallback,
                               channelMask);
    });
}

int LibraryGateway::DeleteRA51CanDataBase(int channelMask) {
    return call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, DeleteRA51CanDataBase, kTimeoutMs, 0, MessageCallback,
                               ProgressCallback, channelMask);
    });
}

int LibraryGateway::ResetLoader1(int loaderAddress, int secondByte) {
    return call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, ResetLoader1, kTimeoutMs, 0, MessageCallback,
                               ProgressCallback, loaderAddress, secondByte);
    });
}

int LibraryGateway::ResetVTX(int resetSeconds) {
    // The restart is a long wait in short steps: the operator sees it counted down.
    shell_.ui().setProgressCountdown(resetSeconds * 1000);
    const int result = call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, ResetVTX, MessageCallback, ProgressCallback, resetSeconds);
    });
    shell_.ui().setProgressCountdown(0);
    return result;
}

int LibraryGateway::SetBdrVTX(int baudRate, int timeoutMs, int mode, const QString& parity,
                              int stopBits) {
    const QByteArray parityText = local(parity);
    return call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, SetBdrVTX, baudRate, timeoutMs, MessageCallback, mode,
                               parityText.constData(), stopBits);
    });
}

int LibraryGateway::MultiMasterMode() {
    return call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, MultiMasterMode, MessageCallback, ProgressCallback, 0);
    });
}

std::optional<QString> LibraryGateway::CheckVersion() {
    TextOut version(kVersionBuffer);
    const int result = call([&](QuorlinkLibrary& library) {
        return QUORLINK_INVOKE(library, CheckVersion, version.bytes.data(), &version.length);
    });
    if (result != 0) return std::nullopt;
    return version.text();
}

}  // namespace quorvel
