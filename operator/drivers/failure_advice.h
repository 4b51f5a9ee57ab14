#pragma once
// The one table of advice: for every phase a run can fail in, the state the device is left in
// and the operator's next step. The drivers' messages, the run view, the run report (JSON) and
// the command line all take their texts from here, so they can never contradict each other.
//
// A row is found by the run report's phase name (the names below), optionally narrowed to one
// operation or to a message the failure reported (the library's own words, e.g.
// "KX is not in BootLoader1 mode!"). Add a row in failure_advice.cpp (`kRows`); a phase the
// table does not know gets the "unknown" advice.
#include <QString>

namespace quorvel {

// The message after a run whose automatic restart of the rack failed.
inline const QString kRestartFailed = "Automatic restart of VTX failed.\rPlease restart your VTX system.";

// The phase names the table knows; the drivers name their run report's phases with these.
namespace phase {
inline const QString kCheckSelection = "check selection";  // every check and question: a refusal
inline const QString kDeleteCanDatabase = "delete CAN database";
inline const QString kSwitchToLoader1 = "switch to loader 1";
inline const QString kDownloadLoader2 = "download loader 2";
inline const QString kDownloadApplication = "download application";
inline const QString kStartApplication = "start application";
// The start's rack-wide channel check refused: a module of the rack waits in its loader.
inline const QString kChannelCheck = "channel check";
inline const QString kVerifyNewFirmware = "verify new firmware";
inline const QString kLoader2OfNewFirmware = "loader 2 of the new firmware";
inline const QString kEstablish = "establish";
inline const QString kReset = "reset";
inline const QString kResetRack = "reset rack";
// The shared verify step: the touched slots identified again before the connection closes.
inline const QString kIdentify = "identify";
// A selected module the plan left out with the operator's consent (it does not take the firmware).
inline const QString kLeftOut = "left out";
inline const QString kUploadFlash = "upload flash";
inline const QString kUploadEeprom = "upload EEPROM";
inline const QString kBackup = "backup";  // the command line's flash backup before a download
inline const QString kMaintenance = "maintenance";  // a maintenance command without its own row
inline const QString kSwitchToRc = "switch to RC";
inline const QString kSwitchToRa = "switch to RA";
inline const QString kChangeSubChannels = "change sub-channels";
inline const QString kInterfaceBaudRate = "interface baud rate";
inline const QString kResetLoader1 = "reset loader 1";
inline const QString kClearChannelNames = "clear channel names";
}  // namespace phase

struct FailureAdvice {
    QString state;     // what the device holds or runs now, in plain words
    QString nextStep;  // what the operator does next
    bool nothingChanged = false;  // a refusal before anything was sent
};

// The text every refusal before the first byte carries.
inline const QString kNothingChanged = "Nothing was changed: nothing was sent to the rack.";

// The advice for a failure in the phase `phaseName` of `operation` ("download", "download all",
// "processor download", ...). `message` is the text that reported the failure, if any; a row
// that names a message wins over one that does not.
FailureAdvice AdviceFor(const QString& phaseName, const QString& operation = {},
                        const QString& message = {});

// The advice for a check or question that refused before anything was sent.
FailureAdvice RefusalAdvice();

// A refusal's message box text: `message` with the table's refusal state beside it.
QString RefusalText(const QString& message);

// "State: ...\rNext step: ..." for a message box ('\r' separates lines, as in every message).
QString AdviceLines(const FailureAdvice& advice);

}  // namespace quorvel
