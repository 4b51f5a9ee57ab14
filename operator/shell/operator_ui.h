#pragma once
// What the operator program needs from its user interface. The window application, the command
// line and the test UI implement it; the shell and the drivers never see a widget.
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "operator/shell/run_position.h"

namespace quorvel {

// Standard message box button codes (the answer of showMessageBox).
enum MessageAnswer : int {
    kAnswerOk = 1,
    kAnswerCancel = 2,
    kAnswerAbort = 3,
    kAnswerRetry = 4,
    kAnswerIgnore = 5,
    kAnswerYes = 6,
    kAnswerNo = 7,
};

// Standard message box styles: buttons in the low nibble, icon in the next one.
enum MessageStyle : int {
    kOkOnly = 0x00,
    kOkCancel = 0x01,
    kAbortRetryIgnore = 0x02,
    kYesNoCancel = 0x03,
    kYesNo = 0x04,
    kRetryCancel = 0x05,
    kIconStop = 0x10,
    kIconQuestion = 0x20,
    kIconExclamation = 0x30,
    kIconInformation = 0x40,
    kSystemModal = 0x1000,
    // Not a Windows code: the message asks the operator to act on the device and to confirm
    // before the run goes on ("... press OK!"). A window's modal box waits anyway; a front end
    // whose messages do not wait must wait for this one.
    kNeedsConfirmation = 0x01000000,
};

// The device tree's boxes: processor, panel, amplifier slots 0-15.
enum class DeviceBox { Processor, Panel, Slot };

struct DeviceBoxState {
    QString caption;
    bool visible = true;
    bool enabled = true;
};

// NodePod picture beside an amplifier slot.
enum class NodePodPicture { Hidden, Normal, Disabled };

// A list to choose from (the firmware lists, the amplifier type list): rows of columns.
struct ChoiceList {
    QString title;
    QStringList columns;            // headings, one per column
    std::vector<QStringList> rows;  // each row holds one text per column
    int defaultRow = -1;            // the row chosen when the operator only confirms; -1: none
    QString additionalInfo;         // further information shown beside the list (may be empty)
    // The list only shows texts (messages, a list of what was found); nothing can be chosen and
    // the answer is always nullopt.
    bool messagesOnly = false;
    // Closes by itself with the default row (quiet mode: nobody is asked).
    bool autoConfirm = false;
};

// The report viewer: a report text with a message, up to two buttons and an icon.
struct ReportView {
    enum Icon : int { kNone = 0, kExclamation = 1, kQuestion = 2 };
    QString title;
    QString report;        // lines end with CR
    QString message;       // shown above the buttons
    QString firstButton;   // for example "Start"
    QString secondButton;  // empty: no second button
    int icon = kNone;
};

class OperatorUi {
  public:
    virtual ~OperatorUi() = default;

    // A message box; `style` is the button-and-icon code. Texts use CR as line break.
    virtual int showMessageBox(const QString& prompt, int style, const QString& title) = 0;
    // Why this front end cannot wait for the operator's confirmation of a kNeedsConfirmation
    // message now; empty when it can. Drivers ask in their plan step and refuse with this text.
    virtual QString confirmationUnavailable() const { return {}; }
    // An input box showing `defaultValue` ready to be accepted; nullopt when the operator cancels.
    virtual std::optional<QString> askInput(const QString& prompt, const QString& title,
                                            const QString& defaultValue = {}) = 0;
    // One entry out of `choices` (functions); nullopt when cancelled.
    virtual std::optional<int> chooseOne(const QString& title, const QStringList& choices) = 0;
    // One row of a list; nullopt when cancelled (and always for a messages-only list).
    virtual std::optional<int> chooseFromList(const ChoiceList& list) = 0;
    // A file to write; `filter` in the form "Upload files (*.up*)|*.up*|All files (*.*)|*.*";
    // `proposedPath` is offered. nullopt when cancelled.
    virtual std::optional<QString> chooseSaveFile(const QString& title, const QString& filter,
                                                  const QString& proposedPath) = 0;
    // The report viewer; true when the first button was pressed, false for the second or when
    // the viewer was closed.
    virtual bool showReport(const ReportView& view) = 0;
    virtual void setProgress(int percent) = 0;
    // Shows or hides the progress bar (hidden between operations).
    virtual void setProgressVisible(bool /*visible*/) {}
    // Where the run stands and what it is expected to take; nullopt once the run is over.
    virtual void setRunPosition(const std::optional<RunPosition>& /*position*/) {}
    // A long pause that only the progress reports count through (the rack's restart): while
    // `totalMs` is above 0 the UI counts "waiting for the rack, up to N s" down as the progress
    // rises; 0 ends the count-down.
    virtual void setProgressCountdown(int /*totalMs*/) {}
    // Panel "Status" of the status bar.
    virtual void setStatus(const QString& text) = 0;
    // Panel "Settings" of the status bar (the port summary).
    virtual void setPortSummary(const QString& text) = 0;
    // Locks (false) or unlocks (true) menus, toolbar and device frame; busy pointer while locked.
    virtual void setInterfaceEnabled(bool enabled) = 0;
    // Lets the interface repaint and handle pending events during a long library call.
    virtual void processEvents() = 0;

    // -- the main window's parts; front ends without them keep the defaults
    virtual void setTitle(const QString& /*title*/) {}
    virtual void setMenuEntryVisible(const QString& /*entry*/, bool /*visible*/) {}
    virtual void setMenuEntryChecked(const QString& /*entry*/, bool /*checked*/) {}
    virtual void setMenuEntryEnabled(const QString& /*entry*/, bool /*enabled*/) {}
    virtual void setDeviceTreeVisible(bool /*visible*/) {}
    virtual void setDeviceBox(DeviceBox /*box*/, int /*slot*/, const DeviceBoxState& /*state*/) {}
    virtual void setNodePodPicture(int /*slot*/, NodePodPicture /*picture*/) {}
    virtual void moveMainWindow(int /*left*/, int /*top*/) {}
    // Main window position (left, top) for storing at shutdown; nullopt when there is none.
    virtual std::optional<std::pair<int, int>> mainWindowPosition() const { return std::nullopt; }
    // The protocol viewer; `found` false shows its "not found" variant.
    virtual void showProtocolViewer(const QString& caption, const QString& text, bool found) = 0;
};

}  // namespace quorvel
