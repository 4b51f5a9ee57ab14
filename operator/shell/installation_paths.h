#pragma once
// Where a program of the installation finds its files. In the build tree and in an installation
// that keeps everything in one folder, the hardware tables sit beside the program; a program
// installed into bin/ finds them in the data directory, ../share/quorvel.
#include <QString>

namespace quorvel {

// The folder of the running program ("." when it cannot be told).
QString ProgramDirectory();

// The folder with the hardware tables ("ws.cfg", "NodePod.cfg", "kx.cfg") for a program in
// `programDirectory`: that folder when it holds "ws.cfg", else the installation's data directory
// when that one does, else `programDirectory` (whose missing tables the start-up then reports).
QString ConfigDirectory(const QString& programDirectory);

// The folder that holds the operator's own folders ("Download", "Upload") by default:
// `programDirectory` when the running program keeps its tables beside it (build tree, one-folder
// installation); for a program installed into bin/, whose data directory users cannot write,
// the user's data folder ($XDG_DATA_HOME/quorvel), with both folders created there.
QString WorkFolderBase(const QString& programDirectory);

}  // namespace quorvel
