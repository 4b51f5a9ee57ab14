#pragma once
// The library's exports as typed calls that never throw: texts in and out as QString, the caller
// buffers sized here, the callbacks of the operator program filled in. A missing library or
// export is shown to the operator once per call and returns kLibraryMissing.
#include <QString>
#include <optional>

#include "operator/shell/operator_shell.h"

namespace quorvel {

class LibraryGateway {
  public:
    static constexpr int kTimeoutMs = OperatorShell::kConnectTimeoutMs;
    static constexpr int kLibraryMissing = OperatorShell::kLibraryMissing;

    explicit LibraryGateway(OperatorShell& shell) : shell_(shell) {}

    // OpenConnection with the stored port settings and 6000 ms; CloseConnection.
    int openConnection() { return shell_.openConnection(); }
    void closeConnection() { shell_.closeConnection(); }

    // -- amplifier loader; `identification` (may be null) receives the module's answer
    struct Loader1Switch {
        int channel = 0;
        int activationCode = 0;
        bool alreadyInLoader1 = false;
        int firmwareType = 0;
        int subChannelReset = 2;
        bool readIdentification = true;
        bool panelSwitchOut = false;
        int marker = 0xFF;
    };
    int Switch2Loader1(const Loader1Switch& call, QString* identification = nullptr);
    int Switch2Loader2(int channel, int firmwareType, bool readIdentification,
                       QString* identification = nullptr);
    int DownLoader2(int channel, const QString& path, int firmwareType);
    struct ApplicationDownload {
        int channel = 0;
        QString path;
        int moduleCode = 0;
        int channelMask = 0;
        int firmwareType = 0;
        int programMode = 0;
        bool activateOnly = false;
    };
    int DownApplication(const ApplicationDownload& call);
    int SwitchWS(int channel, int firmwareType, int channelMask, int startAddress, int resetSeconds,
                 int finishingMode);
    int EstabWS(int channel, int moduleCode, int channelMask, int firmwareType, int resetSeconds);
    int UpLoadRAFlash(int channel, const QString& path, int firmwareType, int resetSeconds,
                      bool externalOnly);
    int UpLoadRAEEPROM(int channel, const QString& pathPrefix);
    int ChangeRcRaMode(int channelMask, int targetMode);
    int ChangeSubChanRA51(int channelMask, int count, int resetSeconds, int variant);
    int ClearUccs(int channelMask);
    int DeleteRA51CanDataBase(int channelMask);
    int ResetLoader1(int loaderAddress, int secondByte);

    // -- rack-wide commands
    int ResetVTX(int resetSeconds);
    int SetBdrVTX(int baudRate, int timeoutMs, int mode, const QString& parity, int stopBits);
    int MultiMasterMode();
    // The processor's loader version, or nullopt when the call failed.
    std::optional<QString> CheckVersion();

    // Any other export: `invoke` calls it on the library (QUORLINK_INVOKE); a missing export
    // becomes kLibraryMissing instead of an exception.
    template <typename Invoke>
    int call(Invoke&& invoke) {
        try {
            return invoke(shell_.library());
        } catch (const LibraryError& error) {
            shell_.reportLibraryError(error);
            return kLibraryMissing;
        }
    }

    OperatorShell& shell() { return shell_; }

  private:
    OperatorShell& shell_;
};

}  // namespace quorvel
