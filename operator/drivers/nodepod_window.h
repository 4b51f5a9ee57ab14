#pragma once
// The NodePod download window as a model: it puts the RA56 of one slot into its download mode,
// scans the node IDs behind it, keeps the node table and its tick boxes, downloads one firmware
// into the ticked nodes one after the other, and resets the rack when it closes after the RA56
// was put into its download mode. The window program shows it; tests and the command line drive
// it directly.
#include <QString>
#include <optional>
#include <vector>

#include "operator/drivers/driver_context.h"
#include "operator/drivers/nodepod_node.h"

namespace quorvel {

// The NodePod selection mode that also switches the node into download mode.
inline constexpr int kIntoDownloadMode = 1;

// Node ID `nodeId` asked on the open connection (NodePod_NodeIDScan); programState 0 when no
// node answered.
NodePodNode IdentifyNodePod(LibraryGateway& gateway, int nodeId);

struct NodePodBox {
    bool ticked = false;
    bool enabled = false;
    bool marked = false;  // in loader 2 or of an unsupported type
    bool done = false;    // downloaded by the last run
};

class NodePodWindow {
  public:
    static constexpr int kMaximumNodes = 12;
    static constexpr int kTimeoutMs = 5500;

    // `window` shows the window's own status bar and progress bar.
    NodePodWindow(DriverContext& context, OperatorUi& window, int slot);

    // The scan on first activation. Ends early when requestStop() was called meanwhile.
    void scan();
    // The node IDs asked, in order: 2, 4, ... 24, then 100 ... 127.
    static std::vector<int> ScannedNodeIds();
    void requestStop() { stop_ = true; }

    const std::vector<NodePodNode>& nodes() const { return nodes_; }
    const NodePodBox& box(int entry) const { return boxes_[static_cast<size_t>(entry)]; }
    QString frameCaption() const;
    bool scanned() const { return scanned_; }
    bool nothingFound() const { return scanned_ && nodes_.empty(); }
    static constexpr const char* kNotFoundText =
        "No NODEPOD device found! Please initialize NODEPOD in Tunewright and retry!";
    bool downloadEnabled() const;
    bool busy() const { return busy_; }
    // The result of the last download (0 before any).
    int lastResult() const { return lastResult_; }
    bool inDownloadMode() const { return downloadMode_; }

    // A click on tick box `entry`: a ticked node allows only nodes of its firmware stem.
    void setTicked(int entry, bool ticked);
    // "Select all": ticks every enabled box unless all are ticked; then clears them.
    void selectAll();
    // The firmware stem of the ticked nodes (empty when none is ticked).
    QString tickedStem() const;

    // The download of `firmwareFile` (a name in the download directory) into the ticked nodes.
    // 0 done; the failing result; kNoDirectory without a firmware directory; kOperationDeclined
    // when a check refused.
    int download(const QString& firmwareFile, bool onlyLoader1);
    static constexpr int kNoDirectory = -123;

    // The warning after a failed download; a front end without this window (the command line)
    // words its own.
    void setLeftInLoaderText(const QString& text) { leftInLoaderText_ = text; }

    // The close request: refused (false) while busy; after the RA56 was put into its download
    // mode the whole rack is reset so that it and its nodes restart normally.
    bool close();

  private:
    void addNode(NodePodNode node);
    void setStatus(const QString& text);
    std::vector<int> tickedEntries() const;
    // Only boxes of the ticked nodes' firmware stem can be ticked; all when none is ticked. A node
    // in loader 2 never can: it needs a reboot first.
    void enableByStem();

    DriverContext& context_;
    OperatorUi& window_;
    int slot_;
    std::vector<NodePodNode> nodes_;
    std::vector<NodePodBox> boxes_;
    bool stop_ = false;
    bool busy_ = false;
    bool scanned_ = false;
    bool downloadMode_ = false;
    int lastResult_ = 0;
    QString leftInLoaderText_;
};

}  // namespace quorvel
