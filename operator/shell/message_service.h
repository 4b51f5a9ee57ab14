#pragma once
// ShowMessage: every message box is written to the protocol; in quiet mode (download-all) the
// texts are collected instead of shown.
#include <QString>
#include <functional>

#include "operator/shell/operator_ui.h"
#include "operator/shell/protocol_log.h"

namespace quorvel {

class MessageService {
  public:
    static constexpr const char* kProgramTitle = "Quorvel";

    MessageService(OperatorUi& ui, ProtocolLog& log) : ui_(ui), log_(log) {}

    // Returns the button code of the answer, 0 when the message was collected. An empty title
    // becomes the program's title. The box is system-modal.
    int ShowMessage(const QString& prompt, int buttons, const QString& title = {});

    // Told of every message (shown or collected) with its button-and-icon code; the drivers'
    // run report listens here.
    using Observer = std::function<void(const QString& prompt, int buttons)>;
    void setObserver(Observer observer) { observer_ = std::move(observer); }

    bool QuietMessages = false;
    QString CollectedMessages;

  private:
    OperatorUi& ui_;
    ProtocolLog& log_;
    Observer observer_;
};

}  // namespace quorvel
