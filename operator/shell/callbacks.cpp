#include "operator/shell/callbacks.h"

#include <QString>
#include <vector>

#include "operator/shell/message_service.h"
#include "operator/shell/operator_ui.h"
#include "operator/shell/quorlink_library.h"

namespace quorvel {
namespace {

CallbackContext current;

// The library's current message text. The buffer holds the whole message buffer, so a long
// message cannot run past it.
QString fetchText() {
    if (!current.library) return {};
    std::vector<char> buffer(kLibraryMessageBufferSize + 1, '\0');
    try {
        const int length = QUORLINK_INVOKE(*current.library, SendString, buffer.data());
        const int kept = std::clamp(length, 0, kLibraryMessageBufferSize);
        return QString::fromLocal8Bit(buffer.data(), kept);
    } catch (const LibraryError& error) {
        return QString::fromStdString(error.what());
    }
}

void setProgress(OperatorUi* ui, int32_t percent) {
    if (!ui) return;
    ui->setProgress(percent < 0 ? 0 : percent);
    ui->processEvents();
}

void setStatus(OperatorUi* ui) {
    if (ui) ui->setStatus(fetchText());
}

}  // namespace

CallbackScope::CallbackScope(const CallbackContext& context) : own_(context) { current = context; }

CallbackScope::~CallbackScope() {
    if (current.messages == own_.messages) current = {};
}

void SetNodePodWindow(OperatorUi* window) { current.nodePodWindow = window; }

extern "C" {

void QUORLINK_CALL MessageCallback(int32_t kind) {
    if (!current.messages) return;
    const QString text = fetchText();
    if (kind == 0) {
        current.messages->ShowMessage(text, kIconExclamation, "Quorvel Error");
    } else {
        current.messages->ShowMessage(text, kIconInformation, "Quorvel Information");
    }
}

void QUORLINK_CALL ProgressCallback(int32_t percent) { setProgress(current.mainWindow, percent); }

void QUORLINK_CALL StatusCallback(int32_t) { setStatus(current.mainWindow); }

void QUORLINK_CALL InputCallback(int32_t) {
    if (!current.mainWindow || !current.library) return;
    const QString prompt = fetchText();
    const QString answer =
        current.mainWindow->askInput(prompt, MessageService::kProgramTitle).value_or(QString());
    const QByteArray bytes = answer.left(kInputAnswerLength).toLocal8Bit();
    try {
        QUORLINK_INVOKE(*current.library, ReceiveString, bytes.constData());
    } catch (const LibraryError&) {
        // The library that called us has ReceiveString; nothing else can be done here.
    }
}

void QUORLINK_CALL NodePodProgressCallback(int32_t percent) {
    setProgress(current.nodePodWindow, percent);
}

void QUORLINK_CALL NodePodStatusCallback(int32_t) { setStatus(current.nodePodWindow); }

}  // extern "C"

}  // namespace quorvel
