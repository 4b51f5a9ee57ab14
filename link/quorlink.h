#ifndef QUORLINK_H
#define QUORLINK_H
/* The device-link library: the exports the operator program binds by name. Every argument is
 * 32 bits wide (integers, addresses of zero-terminated texts, of 32-bit outputs, of callbacks);
 * every export returns 0 on success, -1 when the rack did not answer in time, -2 when a step was
 * refused or failed, and the further negative codes its description lists. */
#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define QUORLINK_CALL __stdcall
#else
#define QUORLINK_CALL
#endif
#if defined(_WIN32)
#define QUORLINK_API __declspec(dllexport)
#else
#define QUORLINK_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Callbacks take one 32-bit argument; their result is ignored. Texts are fetched with
 * SendString from inside the callback.
 *   message: kind 0 = error or warning, 1 = information
 *   progress: percent 0-100
 *   status: phase code (0, 1, 2, 5, 10)
 *   input: asks the operator; the answer is handed back with ReceiveString */
typedef void(QUORLINK_CALL* QuorlinkCallback)(int32_t argument);

/* ---- connection ------------------------------------------------------------------------- */
QUORLINK_API int32_t QUORLINK_CALL OpenConnection(int32_t portKind, int32_t portParameter,
                                                  const char* portAddress, int32_t portValue,
                                                  int32_t portOption, int32_t timeoutMs,
                                                  QuorlinkCallback message, int32_t deviceAddress,
                                                  int32_t trafficLog);
QUORLINK_API int32_t QUORLINK_CALL CloseConnection(void);
QUORLINK_API int32_t QUORLINK_CALL SendString(char* destination);
QUORLINK_API int32_t QUORLINK_CALL ReceiveString(const char* source);

/* ---- system commands -------------------------------------------------------------------- */
QUORLINK_API int32_t QUORLINK_CALL SetBdrVTX(int32_t baudRate, int32_t timeoutMs,
                                             QuorlinkCallback message, int32_t mode,
                                             const char* parity, int32_t stopBits);
QUORLINK_API int32_t QUORLINK_CALL ResetVTX(QuorlinkCallback message, QuorlinkCallback progress,
                                            int32_t resetSeconds);
QUORLINK_API int32_t QUORLINK_CALL MultiMasterMode(QuorlinkCallback message,
                                                   QuorlinkCallback progress, int32_t ignored);
QUORLINK_API int32_t QUORLINK_CALL CheckVersion(char* buffer, int32_t* length);
QUORLINK_API int32_t QUORLINK_CALL GetLogFileName(char* buffer, int32_t* length);


/* ---- amplifier loader ------------------------------------------------------------------- */
/* Identifies position 34 (processor), 33 (panel) or an amplifier slot (0-15). */
QUORLINK_API int32_t QUORLINK_CALL GetComponentType(
    int32_t timeoutMs, int32_t position, int32_t loaderGroup, QuorlinkCallback message,
    char* identity, int32_t* identityLength, char* model, int32_t* modelLength,
    int32_t* amplifierMode, int32_t* loaderFlag, int32_t* subChannelCount, int32_t panelControl,
    char* hardwareRevision, int32_t* hardwareRevisionLength, char* processorRevisions,
    int32_t* processorRevisionsLength);

/* Loader switching. */
QUORLINK_API int32_t QUORLINK_CALL Switch2Loader1(
    int32_t timeoutMs, int32_t channel, int32_t ignored, QuorlinkCallback message,
    char* identification, int32_t* identificationLength, int32_t activationCode,
    int32_t alreadyInLoader1, int32_t componentType, int32_t subChannelReset,
    int32_t readIdentification, int32_t panelSwitchOut, int32_t marker);
QUORLINK_API int32_t QUORLINK_CALL Switch2Loader2(int32_t timeoutMs, int32_t channel,
                                                  int32_t ignored, QuorlinkCallback message,
                                                  char* identification,
                                                  int32_t* identificationLength,
                                                  int32_t componentType,
                                                  int32_t readIdentification);
QUORLINK_API int32_t QUORLINK_CALL ResetLoader1(int32_t ignored, int32_t ignored2,
                                                QuorlinkCallback message,
                                                QuorlinkCallback progress, int32_t loaderAddress,
                                                int32_t secondByte);

/* Loader 2 and application download. */
QUORLINK_API int32_t QUORLINK_CALL DownLoader2(int32_t timeoutMs, int32_t channel, int32_t ignored,
                                               QuorlinkCallback message, QuorlinkCallback progress,
                                               const char* loader2Path, int32_t firmwareType);
QUORLINK_API int32_t QUORLINK_CALL DownApplication(
    int32_t timeoutMs, int32_t channel, int32_t ignored, QuorlinkCallback message,
    QuorlinkCallback progress, const char* firmwarePath, int32_t moduleCode, int32_t channelMask,
    int32_t firmwareType, int32_t programMode, int32_t ignored2, int32_t mainImageOff);

/* Application start and establish. */
QUORLINK_API int32_t QUORLINK_CALL SwitchWS(int32_t timeoutMs, int32_t channel, int32_t ignored,
                                            QuorlinkCallback message, QuorlinkCallback progress,
                                            int32_t firmwareType, int32_t channelMask,
                                            int32_t startAddress, int32_t resetSeconds,
                                            int32_t finishingMode);
QUORLINK_API int32_t QUORLINK_CALL EstabWS(int32_t timeoutMs, int32_t channel, int32_t ignored,
                                           QuorlinkCallback message, int32_t moduleCode,
                                           int32_t channelMask, int32_t firmwareType,
                                           int32_t resetSeconds);

/* Flash and EEPROM upload. */
QUORLINK_API int32_t QUORLINK_CALL UpLoadRAFlash(int32_t timeoutMs, int32_t channel,
                                                 int32_t ignored, QuorlinkCallback message,
                                                 QuorlinkCallback progress, const char* dataPath,
                                                 int32_t ignored2, int32_t ignored3,
                                                 int32_t firmwareType, int32_t resetSeconds,
                                                 int32_t externalOnly);
QUORLINK_API int32_t QUORLINK_CALL UpLoadRAEEPROM(int32_t timeoutMs, int32_t channel,
                                                  QuorlinkCallback message,
                                                  QuorlinkCallback progress,
                                                  const char* pathPrefix);

/* Maintenance of the selected amplifiers (channel mask, bit c = channel c). */
QUORLINK_API int32_t QUORLINK_CALL ChangeRcRaMode(int32_t ignored, int32_t ignored2,
                                                  QuorlinkCallback message,
                                                  QuorlinkCallback progress, int32_t channelMask,
                                                  int32_t targetMode);
QUORLINK_API int32_t QUORLINK_CALL ChangeSubChanRA51(int32_t ignored, int32_t ignored2,
                                                     QuorlinkCallback message,
                                                     QuorlinkCallback progress,
                                                     int32_t channelMask, int32_t count,
                                                     int32_t resetSeconds, int32_t variant);
QUORLINK_API int32_t QUORLINK_CALL ClearUccs(int32_t ignored, int32_t ignored2,
                                             QuorlinkCallback message, QuorlinkCallback progress,
                                             int32_t channelMask);
QUORLINK_API int32_t QUORLINK_CALL DeleteRA51CanDataBase(int32_t ignored, int32_t ignored2,
                                                         QuorlinkCallback message,
                                                         QuorlinkCallback progress,
                                                         int32_t channelMask);


/* ---- processor loaders ------------------------------------------------------------------ */
/* The first five arguments: answer time-out in ms, message, progress and status callbacks, and
 * the input callback, which is stored and never called. */
QUORLINK_API int32_t QUORLINK_CALL UpdateKX33(int32_t timeoutMs, QuorlinkCallback message,
                                              QuorlinkCallback progress, QuorlinkCallback status,
                                              QuorlinkCallback input, const char* imagePath,
                                              const char* ignored, int32_t firstBlock,
                                              int32_t blockCount, int32_t blockSize,
                                              int32_t formatVersion, int32_t emptyFlashValue,
                                              int32_t ignored2);
QUORLINK_API int32_t QUORLINK_CALL UploadKX33(int32_t timeoutMs, QuorlinkCallback message,
                                              QuorlinkCallback progress, QuorlinkCallback status,
                                              QuorlinkCallback input, const char* targetPath,
                                              const char* ignored, int32_t firstBlock,
                                              int32_t blockCount, int32_t blockSize,
                                              int32_t formatVersion, int32_t ignored2,
                                              int32_t ignored3);
/* restartWait in units of two seconds. */
QUORLINK_API int32_t QUORLINK_CALL EstabKX33(int32_t timeoutMs, QuorlinkCallback message,
                                             QuorlinkCallback progress, QuorlinkCallback status,
                                             QuorlinkCallback input, int32_t restartWait,
                                             int32_t ignored, const char* ignored2,
                                             const char* ignored3, const char* ignored4);
/* fileList: every name preceded by "#"; restartWait in seconds; variant 5 = newer generation. */
QUORLINK_API int32_t QUORLINK_CALL UpdateKX43(int32_t timeoutMs, QuorlinkCallback message,
                                              QuorlinkCallback progress, QuorlinkCallback status,
                                              QuorlinkCallback input, const char* directory,
                                              const char* ignored, int32_t variant,
                                              int32_t fileCount, const char* fileList,
                                              int32_t restartWait);
QUORLINK_API int32_t QUORLINK_CALL EstabKX43(int32_t timeoutMs, QuorlinkCallback message,
                                             QuorlinkCallback progress, QuorlinkCallback status,
                                             QuorlinkCallback input, int32_t restartWait,
                                             int32_t variant);


/* ---- panel loader ----------------------------------------------------------------------- */
/* Loader II and the application (or a new loader I) into the panel's flash, then the start. */
QUORLINK_API int32_t QUORLINK_CALL UpdateDV(int32_t timeoutMs, QuorlinkCallback message,
                                            QuorlinkCallback progress, QuorlinkCallback status,
                                            const char* firmwarePath, const char* version,
                                            int32_t downloadApplication, int32_t loaderIUpdate);
/* Activates the new panel application after the restart. */
QUORLINK_API int32_t QUORLINK_CALL EstabDV(int32_t timeoutMs, QuorlinkCallback message);
/* Programs a panel waiting in its controller's bootstrap mode; the texts go to the status
 * callback. serialNumber and revision are cut in place to 31 characters. */
QUORLINK_API int32_t QUORLINK_CALL BootDV(int32_t port, const char* configPath,
                                          const char* programFile, const char* loaderIFile,
                                          char* serialNumber, char* revision,
                                          QuorlinkCallback progress, QuorlinkCallback status);


/* ---- NodePod loader --------------------------------------------------------------------- */
/* The heads on the CAN bus of an RA56 amplifier. "ignored" places take the node's type number.
 * Text outputs of the scan are caller buffers of at least 100 characters. */
QUORLINK_API int32_t QUORLINK_CALL NodePod_NodeIDScan(
    int32_t timeoutMs, QuorlinkCallback message, int32_t nodeId, int32_t* programState,
    int32_t* typeNumber, int32_t* serialNumber, char* name, int32_t* nameLength,
    char* firmwareVersion, int32_t* firmwareVersionLength, char* loader1Version,
    int32_t* loader1VersionLength, char* hardwareRevision, int32_t* hardwareRevisionLength);
QUORLINK_API int32_t QUORLINK_CALL NodePod_Switch2Loader1(int32_t timeoutMs,
                                                          QuorlinkCallback message, int32_t nodeId,
                                                          int32_t inLoader, int32_t ignored,
                                                          int32_t loader2Address,
                                                          int32_t resetMode);
QUORLINK_API int32_t QUORLINK_CALL NodePod_DownLoader2(int32_t timeoutMs, QuorlinkCallback message,
                                                       QuorlinkCallback progress,
                                                       const char* loader2File, int32_t nodeId,
                                                       int32_t ignored);
QUORLINK_API int32_t QUORLINK_CALL NodePod_Switch2Loader2(int32_t timeoutMs,
                                                          QuorlinkCallback message, int32_t nodeId,
                                                          int32_t ignored, int32_t loader2Address);
/* image kind: 0 application, 1 application and loader 1, 2 restart vector, 3 loader 1 */
QUORLINK_API int32_t QUORLINK_CALL NodePod_DownApplication(
    int32_t timeoutMs, QuorlinkCallback message, QuorlinkCallback progress, int32_t imageKind,
    const char* firmwareFile, int32_t nodeId, int32_t ignored, int32_t hardwareCode);
QUORLINK_API int32_t QUORLINK_CALL NodePod_Switch(int32_t timeoutMs, QuorlinkCallback message,
                                                  int32_t nodeId, int32_t ignored,
                                                  int32_t applicationAddress);
QUORLINK_API int32_t QUORLINK_CALL NodePod_Estab(int32_t timeoutMs, QuorlinkCallback message,
                                                 QuorlinkCallback progress, int32_t nodeId,
                                                 int32_t ignored, int32_t hardwareCode,
                                                 const char* firmwareFile);
/* mode: 1 into download mode, 2 back to normal mode, other values only select the RA56 */
QUORLINK_API int32_t QUORLINK_CALL NodePod_SetRA56Mode(int32_t ignored, QuorlinkCallback message,
                                                       QuorlinkCallback progress,
                                                       QuorlinkCallback status, int32_t channel,
                                                       int32_t mode);


#ifdef __cplusplus
}
#endif
#endif
