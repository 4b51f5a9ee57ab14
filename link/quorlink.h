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


#ifdef __cplusplus
}
#endif
#endif
