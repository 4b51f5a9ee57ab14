#pragma once
// The six callbacks handed to the device-link library. They reach the program through one
// module-level context, set while the program runs (the library calls back on the same thread).
#include <cstdint>

#include "link/quorlink.h"

namespace quorvel {

class MessageService;
class OperatorUi;
class QuorlinkLibrary;

struct CallbackContext {
    QuorlinkLibrary* library = nullptr;
    MessageService* messages = nullptr;
    OperatorUi* mainWindow = nullptr;
    OperatorUi* nodePodWindow = nullptr;  // the NodePod window while it is open
};

// Makes `context` the target of the callbacks while the scope lives (the newest scope wins; the
// program has one).
class CallbackScope {
public:
    explicit CallbackScope(const CallbackContext& context);
    ~CallbackScope();
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;

private:
    CallbackContext own_;
};

// The NodePod window's progress bar and status bar while it is open (nullptr when closed).
void SetNodePodWindow(OperatorUi* window);

// The library's message buffer holds 511 characters and a terminating zero.
constexpr int kLibraryMessageBufferSize = 512;
// Answers handed back with ReceiveString are cut to this many characters.
constexpr int kInputAnswerLength = 50;

extern "C" {
void QUORLINK_CALL MessageCallback(int32_t kind);
void QUORLINK_CALL ProgressCallback(int32_t percent);
void QUORLINK_CALL StatusCallback(int32_t code);
void QUORLINK_CALL InputCallback(int32_t unused);
void QUORLINK_CALL NodePodProgressCallback(int32_t percent);
void QUORLINK_CALL NodePodStatusCallback(int32_t code);
}

}  // namespace quorvel
