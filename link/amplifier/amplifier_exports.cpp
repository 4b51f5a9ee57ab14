// C exports of the amplifier loader: each stores its callbacks, sets the time-out where it
// takes one, and hands over to the C++ side.
#include "link/amplifier/application_download.h"
#include "link/amplifier/application_start.h"
#include "link/amplifier/eeprom_upload.h"
#include "link/amplifier/flash_upload.h"
#include "link/amplifier/loader2_download.h"
#include "link/amplifier/loader_switching.h"
#include "link/amplifier/loader_talk.h"
#include "link/amplifier/maintenance.h"
#include "link/quorlink.h"
#include "linkpad/linkpad.h"

using namespace quorlink::amplifier;
using quorlink::channel;

namespace {

void begin(int32_t timeoutMs, QuorlinkCallback message) {
    channel().setMessageCallback(message);
    QTX_SetTimeout(timeoutMs);
}

void begin(int32_t timeoutMs, QuorlinkCallback message, QuorlinkCallback progress) {
    channel().setProgressCallback(progress);
    begin(timeoutMs, message);
}

void beginWithoutTimeout(QuorlinkCallback message, QuorlinkCallback progress) {
    channel().setMessageCallback(message);
    channel().setProgressCallback(progress);
}

std::string text(const char* s) { return s ? s : ""; }

}  // namespace

extern "C" {

int32_t Switch2Loader1(int32_t timeoutMs, int32_t loaderChannel, int32_t /*ignored*/,
                       QuorlinkCallback message, char* identification, int32_t* length,
                       int32_t activationCode, int32_t alreadyInLoader1, int32_t componentType,
                       int32_t subChannelReset, int32_t readIdentification, int32_t panelSwitchOut,
                       int32_t marker) {
    begin(timeoutMs, message);
    std::string id;
    const int result = switchToLoader1({loaderChannel, activationCode, alreadyInLoader1 != 0,
                                        componentType, subChannelReset, readIdentification != 0,
                                        panelSwitchOut, marker},
                                       id);
    if (result == 0) copyOut(id, identification, length);
    return result;
}

int32_t Switch2Loader2(int32_t timeoutMs, int32_t loaderChannel, int32_t /*ignored*/,
                       QuorlinkCallback message, char* identification, int32_t* length,
                       int32_t componentType, int32_t readIdentification) {
    begin(timeoutMs, message);
    std::string id;
    const int result = switchToLoader2(loaderChannel, componentType, readIdentification != 0, id);
    if (result == 0) copyOut(id, identification, length);
    return result;
}

int32_t ResetLoader1(int32_t /*ignored*/, int32_t /*ignored*/, QuorlinkCallback message,
                     QuorlinkCallback progress, int32_t loaderAddress, int32_t secondByte) {
    beginWithoutTimeout(message, progress);
    return resetLoader1(loaderAddress, secondByte);
}

int32_t DownLoader2(int32_t timeoutMs, int32_t /*channel*/, int32_t /*ignored*/,
                    QuorlinkCallback message, QuorlinkCallback progress, const char* path,
                    int32_t firmwareType) {
    begin(timeoutMs, message, progress);
    return downloadLoader2(text(path), firmwareType);
}

int32_t DownApplication(int32_t timeoutMs, int32_t loaderChannel, int32_t /*ignored*/,
                        QuorlinkCallback message, QuorlinkCallback progress, const char* path,
                        int32_t moduleCode, int32_t channelMask, int32_t firmwareType,
                        int32_t programMode, int32_t /*ignored*/, int32_t mainImageOff) {
    begin(timeoutMs, message, progress);
    ApplicationJob job;
    job.path = text(path);
    job.channel = loaderChannel;
    job.moduleCode = moduleCode & 0xFF;
    job.channelMask = static_cast<uint32_t>(channelMask) & 0xFFFF;
    job.firmwareType = firmwareType;
    job.programMode = programMode;
    job.mainImageOff = mainImageOff != 0;
    return downloadApplication(job);
}

int32_t SwitchWS(int32_t timeoutMs, int32_t /*channel*/, int32_t /*ignored*/,
                 QuorlinkCallback message, QuorlinkCallback progress, int32_t firmwareType,
                 int32_t channelMask, int32_t startAddress, int32_t resetSeconds,
                 int32_t finishingMode) {
    begin(timeoutMs, message, progress);
    return startApplication({firmwareType, static_cast<uint32_t>(channelMask) & 0xFFFF,
                             startAddress, resetSeconds, finishingMode});
}

int32_t EstabWS(int32_t timeoutMs, int32_t loaderChannel, int32_t /*ignored*/,
                QuorlinkCallback message, int32_t moduleCode, int32_t channelMask,
                int32_t firmwareType, int32_t /*resetSeconds*/) {
    begin(timeoutMs, message);
    return establishApplication(firmwareType, loaderChannel, moduleCode & 0xFF,
                                static_cast<uint32_t>(channelMask) & 0xFFFF);
}

int32_t UpLoadRAFlash(int32_t timeoutMs, int32_t loaderChannel, int32_t /*ignored*/,
                      QuorlinkCallback message, QuorlinkCallback progress, const char* path,
                      int32_t /*ignored*/, int32_t /*ignored*/, int32_t firmwareType,
                      int32_t /*resetSeconds*/, int32_t externalOnly) {
    begin(timeoutMs, message, progress);
    return uploadFlash(loaderChannel, text(path), firmwareType, externalOnly != 0);
}

int32_t UpLoadRAEEPROM(int32_t timeoutMs, int32_t loaderChannel, QuorlinkCallback message,
                       QuorlinkCallback progress, const char* pathPrefix) {
    begin(timeoutMs, message, progress);
    return uploadEeprom(loaderChannel, text(pathPrefix));
}

int32_t ChangeRcRaMode(int32_t /*ignored*/, int32_t /*ignored*/, QuorlinkCallback message,
                       QuorlinkCallback progress, int32_t channelMask, int32_t targetMode) {
    beginWithoutTimeout(message, progress);
    return changeOperatingMode(static_cast<uint32_t>(channelMask), targetMode);
}

int32_t ChangeSubChanRA51(int32_t /*ignored*/, int32_t /*ignored*/, QuorlinkCallback message,
                          QuorlinkCallback progress, int32_t channelMask, int32_t count,
                          int32_t resetSeconds, int32_t variant) {
    beginWithoutTimeout(message, progress);
    return changeSubChannels(static_cast<uint32_t>(channelMask), count, resetSeconds, variant);
}

int32_t ClearUccs(int32_t /*ignored*/, int32_t /*ignored*/, QuorlinkCallback message,
                  QuorlinkCallback progress, int32_t channelMask) {
    beginWithoutTimeout(message, progress);
    return clearChannelNames(static_cast<uint32_t>(channelMask));
}

int32_t DeleteRA51CanDataBase(int32_t /*ignored*/, int32_t /*ignored*/, QuorlinkCallback message,
                              QuorlinkCallback progress, int32_t channelMask) {
    beginWithoutTimeout(message, progress);
    return deleteCanDatabase(static_cast<uint32_t>(channelMask));
}

}  // extern "C"
