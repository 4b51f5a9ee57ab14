#ifndef LINKPAD_LINKPAD_H
#define LINKPAD_LINKPAD_H
/* The port library: one current port (serial, TCP, USB serial or an in-process peer) behind the
 * QTX_* operations. Every argument and result is 32 bits wide. */
#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define LINKPAD_CALL __stdcall
#else
#define LINKPAD_CALL
#endif
#if defined(_WIN32)
#define LINKPAD_API __declspec(dllexport)
#else
#define LINKPAD_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Port kinds. */
enum {
    QTX_PORT_COM1 = 1,
    QTX_PORT_COM2 = 2,
    QTX_PORT_COM1_RS485 = 10,
    QTX_PORT_COM2_RS485 = 20,
    QTX_PORT_LPT1 = 90,
    QTX_PORT_LPT2 = 91,
    QTX_PORT_TCP = 100,
    QTX_PORT_USB = 200,
    QTX_PORT_GPIB = 488
};

/* Negative results. */
enum {
    QTX_ERR_TIMEOUT = 1,         /* QTX_ReadPort: nothing (or not all) arrived in time */
    QTX_ERR_NOT_OPEN = -1,       /* no port is open */
    QTX_ERR_UNSUPPORTED = -2,    /* port kind without a transport on this platform */
    QTX_ERR_NO_DEVICE = -3,      /* device or address not found */
    QTX_ERR_PERMISSION = -4,     /* device exists but may not be opened */
    QTX_ERR_BUSY = -5,           /* device held by another program */
    QTX_ERR_IO = -6,             /* read/write failed or the peer closed the connection */
    QTX_ERR_ARGUMENT = -7,       /* bad argument */
    QTX_ERR_NO_ANSWER = -8       /* the rack's interpreter did not answer */
};

LINKPAD_API int32_t LINKPAD_CALL QTX_OpenInterfaceLib(void);
LINKPAD_API int32_t LINKPAD_CALL QTX_EnableNTPortIO(int32_t portKind);
LINKPAD_API int32_t LINKPAD_CALL QTX_DisableNTPortIO(int32_t portKind);
LINKPAD_API int32_t LINKPAD_CALL QTX_InitGPIBCtrlBlock(void);
LINKPAD_API int32_t LINKPAD_CALL QTX_OpenPort(int32_t portKind, int32_t portParameter,
                                              const char* portAddress, int32_t portValue,
                                              int32_t portOption, int32_t bufferSize);
LINKPAD_API int32_t LINKPAD_CALL QTX_SelectPort(int32_t portKind);
LINKPAD_API int32_t LINKPAD_CALL QTX_SelectDevice(int32_t deviceAddress);
LINKPAD_API int32_t LINKPAD_CALL QTX_ClosePort(void);
LINKPAD_API int32_t LINKPAD_CALL QTX_ResetInterface(void);
LINKPAD_API int32_t LINKPAD_CALL QTX_ActivateInterpreter(int32_t waitMs);
LINKPAD_API int32_t LINKPAD_CALL QTX_SetTimeout(int32_t ms);
LINKPAD_API int32_t LINKPAD_CALL QTX_GetCurrTimeout(void);
LINKPAD_API int32_t LINKPAD_CALL QTX_FlushInQueue(void);
LINKPAD_API int32_t LINKPAD_CALL QTX_FlushOutQueue(void);
LINKPAD_API int32_t LINKPAD_CALL QTX_WritePort(const char* text);
LINKPAD_API int32_t LINKPAD_CALL QTX_WritePortCount(const void* buffer, int32_t count);
LINKPAD_API int32_t LINKPAD_CALL QTX_ReadPort(char* buffer, int32_t maximum, int32_t* count,
                                              int32_t* status, int32_t terminator);
LINKPAD_API int32_t LINKPAD_CALL QTX_ComBreak(int32_t state);
LINKPAD_API int32_t LINKPAD_CALL QTX_EnableComLog(void);
LINKPAD_API int32_t LINKPAD_CALL QTX_DisableComLog(void);
LINKPAD_API int32_t LINKPAD_CALL QTX_PauseComLog(int32_t resume);
LINKPAD_API int32_t LINKPAD_CALL QTX_WriteLog(const char* text, int32_t flags);

/* Why the last QTX_OpenPort failed ("Permission denied on /dev/ttyS0: ..."), empty after a
 * successful one. Copies at most maximum - 1 characters and a zero; returns the text's length. */
LINKPAD_API int32_t LINKPAD_CALL QTX_GetLastError(char* text, int32_t maximum);

/* Time on the clock the ports run on, so that a caller's pauses and the ports' time-outs agree:
 * a millisecond-exact pause, and milliseconds since the clock's epoch (wrapping at 2^32). */
LINKPAD_API int32_t LINKPAD_CALL QTX_WaitMs(int32_t ms);
LINKPAD_API uint32_t LINKPAD_CALL QTX_GetTickCount(void);

/* Told about long waits, so that a caller's window can repaint and say what it waits for. The
 * port library calls it on the waiting thread during every QTX_WaitMs of at least 1000 ms (at
 * its start and every 100 ms) and during every read whose time-out is at least 1000 ms once the
 * answer has been missing for 500 ms (then every 100 ms). `totalMs` is the whole wait (a read's
 * time-out), `waitedMs` the time waited so far. The last call of a wait has waitedMs == totalMs:
 * for a read answered early both are the time it took. A call that comes while the function
 * runs (a wait inside it) is not told. */
typedef void(LINKPAD_CALL* QTX_WaitNoticeProc)(int32_t totalMs, int32_t waitedMs, void* context);

/* Registers the function (nullptr: none) and the context it is given; returns 0. */
LINKPAD_API int32_t LINKPAD_CALL QTX_SetWaitNotice(QTX_WaitNoticeProc notice, void* context);

#ifdef __cplusplus
}
#endif
#endif
