#pragma once
// What each NodePod runs against the firmware in the download directory: the newest file for
// its type, how the two compare, why a node is marked, and the question before a download that
// would load an older version than a node runs.
#include <QString>
#include <vector>

#include "operator/drivers/nodepod_node.h"
#include "operator/shell/program_state.h"

namespace quorvel {

// The newest version ("P2.10") among the download directory's files for the node's type; empty
// when there is none. `slot` is the RA56's slot (0-15).
QString NewestNodePodFirmware(const ProgramState& state, int slot, const NodePodNode& node);

// In the words of the main window's marks: "update: P2.10 (runs P2.05)", "up to date: runs
// P2.05", "runs a loader, newest file P2.05", "no firmware file for its type".
QString NodePodVersionNote(const NodePodNode& node, const QString& newest);

// Why the window marks a node (in loader 2, of a type the NodePod table does not know); empty
// for a node that is not marked.
QString NodePodMarkReason(const NodePodNode& node);

// "NODEPOD ID 4 (#1234) runs 2.05; the chosen file is 1.10. Load the older version?" for the
// nodes whose application is newer than `fileVersion` ("P1.10"); empty when there is none.
QString OlderFirmwareQuestion(const std::vector<const NodePodNode*>& nodes,
                              const QString& fileVersion);

}  // namespace quorvel
