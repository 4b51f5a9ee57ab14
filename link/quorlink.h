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


/* ---- processor loaders ------------------------------------------------------------------ */


/* ---- panel loader ----------------------------------------------------------------------- */


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
