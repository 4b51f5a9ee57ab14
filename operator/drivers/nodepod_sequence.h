#pragma once
// The download of one NodePod firmware into NodePods, node after node: loader 1 switched to,
// loader 2 written and started, the application (or only loader 1) written, tested, loader 2
// rewritten, the node established and started.
#include <QString>
#include <vector>

#include "operator/drivers/driver_context.h"
#include "operator/drivers/nodepod_node.h"

namespace quorvel {

class RunPlan;

// The warning after a failed download, as the NodePod window shows it.
inline const QString kNodePodLeftInLoader =
    "NODEPOD may be left in bootloader state!\rPlease leave NODEPOD download window,\rswitch "
    "Ventrix and NODEPOD(s) off and on\rand try NODEPOD download again!";

struct NodePodDownloadPlan {
    int slot = 0;          // the RA56's slot, 0-15
    QString firmwareFile;  // name in the download directory
    bool onlyLoader1 = false;
    bool ra56InDownloadMode = false;  // the scan switched the RA56 already; only select it
    QString leftInLoaderText = kNodePodLeftInLoader;  // shown after a failed download
};

// The loader-2 files of a NodePod firmware: "<name>.ld2" for old hardware and "<name>N4.ld2"
// for new; with only loader 1 to write, the newest "<stem>p???.ld2" and "<stem>p*N4.ld2" of the
// download directory. Empty when the file does not exist.
struct NodePodLoader2Files {
    QString oldHardware;
    QString newHardware;
};
NodePodLoader2Files FindNodePodLoader2Files(const QString& downloadDirectory,
                                            const QString& firmwareFile, const QString& stem,
                                            bool onlyLoader1);

class NodePodSequence {
  public:
    NodePodSequence(DriverContext& context, OperatorUi& window, NodePodDownloadPlan plan);

    // 0 done; the failing result; NodePodWindow::kNoDirectory; kOperationDeclined for a refusal.
    int run(const std::vector<const NodePodNode*>& nodes);
    // The RA56 was sent the switch into its download mode (whatever it answered).
    bool switchedRa56() const { return switchedRa56_; }
    // The nodes as identified again after their download.
    const std::vector<NodePodNode>& identified() const { return identified_; }

  private:
    int checkFiles(const std::vector<const NodePodNode*>& nodes);
    int downloadNode(const NodePodNode& node, int index, int count);
    int writeLoader2(const NodePodNode& node);
    int writeFirmware(const NodePodNode& node, int index, int count);
    int testAndEstablish(const NodePodNode& node);
    int switchToLoader1(const NodePodNode& node, int resetMode);
    int startApplication(const NodePodNode& node);
    int verifyNode(const NodePodNode& node);
    QString loader2For(const NodePodNode& node) const;
    void planSteps(RunPlan& runPlan, const std::vector<const NodePodNode*>& nodes);
    void enter(const QString& step);  // the run's position, while a download runs

    DriverContext& context_;
    OperatorUi& window_;
    NodePodDownloadPlan plan_;
    QString firmwarePath_;
    NodePodLoader2Files loader2_;
    bool switchedRa56_ = false;
    std::vector<NodePodNode> identified_;
    RunPlan* runPlan_ = nullptr;
};

}  // namespace quorvel
