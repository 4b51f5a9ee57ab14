#include "operator/drivers/panel_driver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include "operator/drivers/connection_guard.h"
#include "operator/drivers/operation_frame.h"
#include "operator/drivers/run_plan.h"
#include "operator/drivers/slot_checks.h"
#include "operator/drivers/undetected_device.h"
#include "operator/drivers/verify_step.h"
#include "operator/shell/callbacks.h"

namespace quorvel {
namespace {

const QString kLoader1Version = "3.00";
const QString kStarted =
    "DV33-Application has been started.\rConfirm the message box at DVxx if necessary, wait "
    "until \rit is measuring and press OK!";
const QString kPanelStartStep = "start application";
const QString kPanelIdentifyStep = "identify panel";

class PanelDriver {
  public:
    PanelDriver(DriverContext& context, const PanelDownloadRequest& request)
        : context_(context),
          state_(context.state()),
          panel_(state_.Inventory.panel),
          request_(request) {}

    int run() {
        context_.WriteProtocol("-->Download DVxx().<--");
        if (panel_.Identity == kNotDetected &&
            context_.ShowMessage(kUndetectedDeviceQuestion, kYesNo | kIconExclamation) != kAnswerYes) {
            context_.ShowMessage(RefusalText(kUndetectedStopped), kIconExclamation);
            return kOperationDeclined;
        }
        if (state_.StartMode == "S") showServiceNote();
        state_.PanelLoader1 = request_.loader1;
        const auto kind =
            request_.loader1 ? FirmwareDeviceKind::PanelLoader1 : FirmwareDeviceKind::Panel;
        const auto chosen =
            context_.chooseFirmware({kind, -1, {}}, context_.messages().QuietMessages);
        state_.PanelLoader1 = false;
        if (!chosen) return kOperationDeclined;
        path_ = chosen->file;
        if (!canAwaitConfirmation()) return kOperationDeclined;
        if (context_.dryRun) return plan();
        return download();
    }

  private:
    void showServiceNote() {
        context_.ShowMessage(
            "You are in service mode!\rPay attention!\r\rYou have more "
            "possibilities to select a file\rthan a normal user (inclusive not "
            "working versions)!\rYour current DV software version is '" +
                panel_.SoftwareVersion +
                "'\rand your current DV hardware "
                "revision is '" +
                panel_.HardwareRevision + "' !",
            kIconExclamation);
    }

    // The started panel application waits until the operator confirmed at the panel; a front end
    // that cannot wait for that refuses before anything is sent.
    bool canAwaitConfirmation() {
        const QString reason = context_.ui().confirmationUnavailable();
        if (reason.isEmpty()) return true;
        context_.report().beginPhase(phase::kCheckSelection);
        RefuseBeforeSending(context_,
                            "After the download the panel application starts and waits until "
                            "the operator has confirmed at the panel (\"press OK!\"); " +
                                reason + ".",
                            kOperationDeclined);
        return false;
    }

    QString versionPassed() const {
        if (request_.loader1) return kLoader1Version;
        if (panel_.Identity == kNotDetected)
            return PanelVersionFromFileName(state_.SelectedFirmwareFile);
        return panel_.SoftwareVersion;
    }

    int plan() {
        context_.report()
                .beginPhase(request_.activateOnly ? "activate" : "download", Outcome::Planned)
                .details
            << "file " + path_ << "version " + versionPassed()
            << (request_.loader1 ? "loader 1" : "application")
            << "asks: " + kStarted.section('\r', 0, 0) + " (the operator confirms at the panel)";
        return 0;
    }

    int download() {
        OperationFrame frame(context_, {}, "-->Download DVxx finished.<--");
        QElapsedTimer clock;
        if (state_.StartMode == "P") clock.start();
        int result = 0;
        qint64 seconds = 0;
        {
            ConnectionGuard connection(context_.gateway());
            context_.ui().setProgress(0);
            panel_.SoftwareVersion = versionPassed();
            planSteps();
            plan_.enter(downloadStep());
            context_.ui().setStatus("Download DV Application...");
            context_.WriteProtocol("UpdateDV firmware " + path_ + ".");
            result = update();
            seconds = clock.isValid() ? clock.elapsed() / 1000 : 0;
            if (result == 0) {
                plan_.enter(kPanelStartStep);
                context_.ShowMessage(kStarted, kIconExclamation | kNeedsConfirmation);
                context_.WriteProtocol("EstabDV().");
                result = context_.gateway().call([](QuorlinkLibrary& library) {
                    return QUORLINK_INVOKE(library, EstabDV, LibraryGateway::kTimeoutMs,
                                           MessageCallback);
                });
            }
            if (result == 0) result = verify();
            context_.RefreshDeviceTree();
        }
        finish(result, seconds);
        return result;
    }

    // The panel identified again before the connection closes: done only when it runs the
    // chosen file's version (loader 1 and activate: any application).
    int verify() {
        plan_.enter(kPanelIdentifyStep);
        context_.ui().setStatus("Identifying the panel...");
        const bool answered = context_.shell().IdentifyPanel() && panel_.Identity != kNotDetected;
        const QString running = answered ? panel_.SoftwareVersion : QString("not detected");
        const bool newApplication = !request_.loader1 && !request_.activateOnly;
        const QString target =
            newApplication ? PanelVersionFromFileName(state_.SelectedFirmwareFile) : QString();
        return VerifyDevice(context_, {"panel", running, answered}, target) ? 0 : kNotAtTarget;
    }

    QString downloadStep() const {
        return request_.activateOnly ? QString("activate") :
               request_.loader1      ? QString("download loader 1")
                                     : QString("download application");
    }

    // The typical durations on the rack, the download's by the file's size; the operator's confirmation at the panel is not counted.
    void planSteps() {
        const QString unit = "panel " + panel_.PanelType;
        const qint64 fileMs = 2000 + QFileInfo(path_).size() * 17 / 5;
        plan_.add(unit, downloadStep(), request_.activateOnly ? 3000 : fileMs);
        plan_.add(unit, kPanelStartStep, 4000);
        plan_.add(unit, kPanelIdentifyStep, 1000);
    }

    int update() {
        const QByteArray path = path_.toLocal8Bit();
        const QByteArray version = panel_.SoftwareVersion.toLocal8Bit();
        return context_.gateway().call([&](QuorlinkLibrary& library) {
            return QUORLINK_INVOKE(library, UpdateDV, LibraryGateway::kTimeoutMs, MessageCallback,
                                   ProgressCallback, StatusCallback, path.constData(),
                                   version.constData(), request_.activateOnly ? 0 : 1,
                                   request_.loader1 ? 1 : 0);
        });
    }

    void finish(int result, qint64 seconds) {
        state_.LastResult = result;
        if (result != 0) {
            context_.ui().setStatus("Error download!");
            context_.report().failPhase();
            return;
        }
        if (request_.activateOnly) {
            context_.ui().setStatus("Activate DV finished!");
            return;
        }
        context_.ui().setStatus("Download finished!");
        if (state_.StartMode == "P")
            context_.ShowMessage(
                "Download finished!\rDownloadtime: " + QString::number(seconds) + " seconds.",
                kIconExclamation);
    }

    DriverContext& context_;
    ProgramState& state_;
    PanelRecord& panel_;
    const PanelDownloadRequest& request_;
    QString path_;
    RunPlan plan_{context_.ui()};
};

}  // namespace

QString PanelVersionFromFileName(const QString& name) {
    return name.mid(5, 1) + "." + name.mid(6, 2);
}

int RunPanelDriver(DriverContext& context, const PanelDownloadRequest& request) {
    context.startReport(request.activateOnly ? "panel activate"
                        : request.loader1    ? "panel loader1"
                                             : "panel download");
    const int result = PanelDriver(context, request).run();
    context.report().setResult(result);
    return result;
}

}  // namespace quorvel
