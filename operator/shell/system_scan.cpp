// ScanSystem: asks the processor, the panel and the 16 slots what they are and fills the device
// inventory, the device tree and the protocol.
#include "operator/shell/component_query.h"
#include "operator/shell/identity_parsers.h"
#include "operator/shell/operator_shell.h"

namespace quorvel {
namespace {

constexpr int kProcessorTimeoutMs = 3000;
constexpr int kPanelTimeoutMs = 2000;
constexpr int kSlotTimeoutMs = 6000;

QString beforeFirstCr(const QString& text) {
    const qsizetype cr = text.indexOf('\r');
    return cr < 0 ? text : text.left(cr);
}

class SystemScan {
public:
    explicit SystemScan(OperatorShell& shell)
        : shell_(shell), state_(shell.state()), ui_(shell.ui()) {}

    ScanOutcome run() {
        prepare();
        shell_.EnableUserInterface(false);
        ui_.setStatus("Connecting...");
        const int opened = shell_.openConnection();
        if (opened != 0) {
            ui_.setStatus("offline!");
            shell_.EnableUserInterface(true);
            return opened == OperatorShell::kLibraryMissing ? ScanOutcome::LibraryMissing
                                                            : ScanOutcome::ConnectionFailed;
        }
        shell_.WriteProtocol("Port opened.");
        ScanOutcome outcome = ScanOutcome::IdentificationFailed;
        try {
            outcome = scanRack();
        } catch (const LibraryError& error) {
            shell_.reportLibraryError(error);
            ui_.setStatus("offline!");
            outcome = ScanOutcome::LibraryMissing;
        }
        shell_.closeConnection();
        if (outcome == ScanOutcome::Finished) shell_.WriteProtocol("-->Scan finished okay.<--");
        shell_.EnableUserInterface(true);
        return outcome;
    }

    // After an operation: the touched slots, with the loader fallback always on (a module the
    // operation left in its loader must show as such); the panel is switched out around them.
    // A single slot is asked twice: once switching the panel out, once switching it back in.
    // A panel that does not run its firmware (it waits in its bootstrap or lost its power)
    // refuses or misses the switch-out and keeps off the bus: the slot is then asked without
    // switching the panel, so that its module is not shown as missing.
    bool identifySlots(const std::vector<int>& touched) {
        std::vector<int> order = touched;
        if (order.size() == 1) order.push_back(order.front());
        const int group = loaderGroup() == 1 ? 1 : 0;
        bool identified = true;
        for (size_t i = 0; i < order.size(); ++i) {
            const int control = i == 0 ? 1 : i + 1 == order.size() ? 2 : 0;
            int result = scanSlot(order[i], group, control);
            if (result != 0 && control == 1) result = scanSlot(order[i], group, 0);
            identified = result == 0 && identified;
        }
        return identified;
    }

    // After a processor or panel run: the device alone.
    bool identifyProcessor() {
        if (scanProcessor()) return true;
        state_.Inventory.processor.Identity = "not detected";
        return false;
    }
    bool identifyPanel() {
        if (scanPanel()) return true;
        state_.Inventory.panel.Identity = "not detected";
        return false;
    }

private:
    void prepare() {
        state_.Inventory.scanned = false;
        state_.Inventory.processorRefused = false;
        ui_.setDeviceTreeVisible(true);
        const ConnectionParameters& c = state_.Connection;
        shell_.WriteProtocol("-->Scan started.<--");
        shell_.WriteProtocol("Open port()");
        shell_.WriteProtocol("CPort    : " + QString::number(c.portKind));
        shell_.WriteProtocol("CBaud    : " + QString::number(c.portParameter));
        shell_.WriteProtocol("CFlow    : " + c.portText.value_or(QString()));
        shell_.WriteProtocol("CDataBits: " + QString::number(c.dataBits));
        shell_.WriteProtocol("CStopBits: " + QString::number(c.stopBits));
        shell_.WriteProtocol("CAddress : " + QString::number(c.deviceAddress));
        shell_.WriteProtocol("ResetTOut: " + QString::number(c.resetSeconds));
    }

    ScanOutcome scanRack() {
        if (!scanProcessor()) return offline();
        const ProcessorRecord& processor = state_.Inventory.processor;
        if (processor.InBootLoader) return ready(ScanOutcome::ProcessorOnly);
        if (oldKx43OverWrongPort()) {
            shell_.ShowMessage(
                "Firmware download with this KX43 firmware version (<P1.41)\ris not posssible in "
                "selected port!\rPlease use serial port COM1 or COM2 and try again!",
                kIconExclamation);
            state_.Inventory.processorRefused = true;
            ui_.setDeviceBox(DeviceBox::Processor, 0, {processorCaption(), true, false});
            return ready(ScanOutcome::RefusedPort);
        }
        shell_.WriteProtocol(processorCaption());
        state_.RestartPending = true;
        if (!scanPanel()) return offline();
        ui_.setStatus("scanning RA...");
        for (int slot = 0; slot < DeviceInventory::kSlots; ++slot) {
            if (scanSlot(slot, loaderGroup(), panelControl(slot)) != 0) return offline();
        }
        state_.Inventory.scanned = true;
        return ready(ScanOutcome::Finished);
    }

    ScanOutcome offline() {
        ui_.setStatus("offline!");
        return ScanOutcome::IdentificationFailed;
    }

    ScanOutcome ready(ScanOutcome outcome) {
        ui_.setStatus("Ready");
        return outcome;
    }

    QString processorCaption() const { return "KX : " + state_.Inventory.processor.Identity; }

    bool scanProcessor() {
        ui_.setStatus("scanning KX...");
        const auto answer = GetComponentType(shell_.library(), kProcessorTimeoutMs,
                                             kProcessorPosition, 0, MessageCallback, 0);
        if (answer.result != 0) return false;
        ParseProcessorIdentity(state_.Inventory.processor, answer.identity,
                               answer.hardwareRevision, answer.revisions, state_.Tables.processors,
                               [this] { return checkVersion(); });
        ui_.setDeviceBox(DeviceBox::Processor, 0, {processorCaption(), true, true});
        ui_.setProgress(1);
        return true;
    }

    std::optional<QString> checkVersion() {
        std::vector<char> buffer(256, '\0');
        int32_t length = 0;
        if (QUORLINK_INVOKE(shell_.library(), CheckVersion, buffer.data(), &length) != 0) {
            return std::nullopt;
        }
        return QString::fromLocal8Bit(buffer.data(), std::clamp(length, 0, 255));
    }

    bool oldKx43OverWrongPort() const {
        const ProcessorRecord& p = state_.Inventory.processor;
        const QString& port = state_.Port.commPort;
        return p.ProcessorType.startsWith("KX43") && p.SoftwareVersion < "P1.41" &&
               port != "COM1" && port != "COM2";
    }

    bool scanPanel() {
        ui_.setStatus("scanning DV...");
        const auto answer = GetComponentType(shell_.library(), kPanelTimeoutMs, kPanelPosition,
                                             0, MessageCallback, 0);
        if (answer.result != 0) return false;
        ParsePanelIdentity(state_.Inventory.panel, answer.identity, state_.StartMode);
        const QString caption = "DV : " + state_.Inventory.panel.Identity;
        ui_.setDeviceBox(DeviceBox::Panel, 0, {caption, true, true});
        shell_.WriteProtocol(caption);
        return true;
    }

    int loaderGroup() const {
        const ProcessorRecord& p = state_.Inventory.processor;
        if (p.ProcessorType != "KX13" && !p.InBootLoader && p.SoftwareVersion > "P1.33") return 1;
        return state_.ScanForLoader1 ? 0 : 2;
    }

    static int panelControl(int slot) {
        if (slot == 0) return 1;
        if (slot == DeviceInventory::kSlots - 1) return 2;
        return 0;
    }

    // GetComponentType's result: 0 when the slot's record and box were filled.
    int scanSlot(int slot, int group, int control) {
        const auto answer = GetComponentType(shell_.library(), kSlotTimeoutMs, slot, group,
                                             MessageCallback, control);
        if (answer.result != 0) return answer.result;
        // Each scan describes the slot anew: nothing of an earlier module may remain.
        SlotRecord& record = state_.Inventory.slotRecords[slot];
        record = SlotRecord{};
        record.Slot = slot;
        record.IdentifiedType = answer.model;
        record.AmpCode = 0;
        record.Identity = answer.identity;
        record.AmtNumber = answer.amplifierMode;
        record.SubChannelCount = answer.subChannelCount;

        QString shownIdentity = answer.identity;
        if (answer.loaderFlag == 1) {
            ParseLoaderIdentity(record, answer.identity, state_.Tables);
            if (shownIdentity.size() > 11) shownIdentity.chop(2);
        } else {
            ParseSlotIdentity(record, answer.identity, answer.hardwareRevision, state_.Tables);
        }
        AppendF72Marker(record, state_.StartMode);

        const QString caption =
            QString("%1 - RA : ").arg(slot + 1, 2, 10, QChar('0')) + shownIdentity;
        ui_.setDeviceBox(DeviceBox::Slot, slot, {caption, true, true});
        showNodePodPicture(record);
        writeSlotProtocol(caption, answer, record);
        return 0;
    }

    void showNodePodPicture(const SlotRecord& record) {
        const bool nodePodAmplifier =
            record.IdentifiedType == "RA56" || record.IdentifiedType == "RA56B";
        NodePodPicture picture = NodePodPicture::Hidden;
        if (nodePodAmplifier) {
            picture = record.TypeAssignedByHand ? NodePodPicture::Disabled : NodePodPicture::Normal;
        }
        ui_.setNodePodPicture(record.Slot, picture);
    }

    void writeSlotProtocol(const QString& caption, const ComponentAnswer& answer,
                           const SlotRecord& record) {
        if (!shell_.protocolLog().active()) return;
        shell_.WriteProtocol("Slot/Ident  : " + beforeFirstCr(caption));
        shell_.WriteProtocol("SubChanCount: " + QString::number(record.SubChannelCount));
        shell_.WriteProtocol("HWRev       : " + beforeFirstCr(answer.hardwareRevision));
        shell_.WriteProtocol("AmpName     : " + answer.model);
        shell_.WriteProtocol("AmtNr       : " + QString::number(record.AmtNumber));
    }

    OperatorShell& shell_;
    ProgramState& state_;
    OperatorUi& ui_;
};

}  // namespace

ScanOutcome OperatorShell::ScanSystem() { return SystemScan(*this).run(); }

bool OperatorShell::IdentifySlots(const std::vector<int>& touched) {
    return SystemScan(*this).identifySlots(touched);
}

bool OperatorShell::IdentifyProcessor() { return SystemScan(*this).identifyProcessor(); }

bool OperatorShell::IdentifyPanel() { return SystemScan(*this).identifyPanel(); }

}  // namespace quorvel
