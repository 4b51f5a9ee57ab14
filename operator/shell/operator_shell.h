#pragma once
// The operator program's spine: start-up and shutdown, the protocol log, the logged message
// service, the lock of the user interface, the connection to the rack and the scan.
#include <QString>
#include <memory>

#include "operator/shell/callbacks.h"
#include "operator/shell/instance_check.h"
#include "operator/shell/message_service.h"
#include "operator/shell/operator_ui.h"
#include "operator/shell/program_state.h"
#include "operator/shell/protocol_log.h"
#include "operator/shell/quorlink_library.h"
#include "operator/shell/settings_store.h"

namespace quorvel {

// Where the program finds its installation and keeps its per-user files.
struct ShellEnvironment {
    QString programDirectory;
    QString tablesDirectory;        // empty: programDirectory (ws.cfg, NodePod.cfg, kx.cfg)
    QString settingsFile;           // empty: the user's settings store
    QString instanceLockDirectory;  // empty: the user's runtime directory
    std::string libraryPath;        // empty: "libquorlink.so" next to the program or on the path
    ProtocolLog::Now now = &QDateTime::currentDateTime;
};

enum class ScanOutcome {
    Finished,           // every slot was scanned
    ProcessorOnly,      // the processor runs its boot loader; nothing else was scanned
    RefusedPort,        // old KX43 firmware over a port other than COM1/COM2
    ConnectionFailed,   // OpenConnection failed (see lastConnectionResult)
    IdentificationFailed,
    LibraryMissing,
};

class OperatorShell {
public:
    static constexpr int kConnectTimeoutMs = 6000;

    OperatorShell(OperatorUi& ui, ShellEnvironment environment);
    ~OperatorShell();
    OperatorShell(const OperatorShell&) = delete;
    OperatorShell& operator=(const OperatorShell&) = delete;

    // Loading the main window. False when the operator declined to start a second instance.
    bool start(const QString& commandLine);
    // Closing the main window: restart of the rack when a scan left it in its scan state,
    // window position stored, protocol log trimmed.
    void shutdown();

    ScanOutcome ScanSystem();
    // Identifies `touched` slots (0-15) again on the open connection, as the scan does, and updates
    // their inventory records and device boxes; a module in its loader is found too. False when
    // an identification failed (its record is then left as it was).
    bool IdentifySlots(const std::vector<int>& touched);
    // The processor or the panel identified again on the open connection after a run of its
    // own, as the scan does, and its record and device box updated. False when it did not
    // answer (the record then tells that it was not detected).
    bool IdentifyProcessor();
    bool IdentifyPanel();

    void EnableUserInterface(bool enable);
    void WriteProtocol(const QString& text) { log_.write(text); }
    void FlushProtocol() { log_.flush(); }
    void TrimProtocol() { log_.trim(); }
    void ShowProtocolFile();
    int ShowMessage(const QString& prompt, int buttons, const QString& title = {}) {
        return messages_.ShowMessage(prompt, buttons, title);
    }
    void ComputeConnectionParameters();
    void ShowPortSummary();

    // OpenConnection with the connection parameters; its result (0 = open). A missing library
    // is shown to the operator and gives kLibraryMissing.
    static constexpr int kLibraryMissing = -1000;
    int openConnection();
    void closeConnection();
    int lastConnectionResult() const { return lastConnectionResult_; }

    ProgramState& state() { return state_; }
    const ProgramState& state() const { return state_; }
    ProtocolLog& protocolLog() { return log_; }
    MessageService& messages() { return messages_; }
    SettingsStore& settings() { return settings_; }
    QuorlinkLibrary& library() { return library_; }
    OperatorUi& ui() { return ui_; }
    const ShellEnvironment& environment() const { return environment_; }

    // Shows a library that cannot be bound as an error message.
    void reportLibraryError(const LibraryError& error);

private:
    void applyStartMode(const QString& commandLine);
    QString libraryLogFileName();
    bool checkSecondInstance(const StoredSettings& stored);
    void readConfigurationFiles();
    void writeStartProtocol();
    void restartRack();

    OperatorUi& ui_;
    ShellEnvironment environment_;
    ProgramState state_;
    ProtocolLog log_;
    MessageService messages_;
    SettingsStore settings_;
    QuorlinkLibrary library_;
    CallbackScope callbacks_;
    std::unique_ptr<InstanceCheck> instances_;
    int lastConnectionResult_ = 0;
};

// `directory` + "/" + `name` + "/", or `directory` itself when it already ends with "/".
QString DirectoryBelow(const QString& directory, const QString& name);

}  // namespace quorvel
