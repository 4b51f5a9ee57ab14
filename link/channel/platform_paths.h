#pragma once
// Where the library puts its files: the user's documents folder and the temporary directory.
#include <string>

namespace quorlink {

// The XDG documents directory (XDG_DOCUMENTS_DIR in user-dirs.dirs), else $HOME/Documents;
// empty when neither can be determined. No trailing separator.
std::string documentsFolder();

// The user's state directory: $XDG_STATE_HOME, else $HOME/.local/state (%LOCALAPPDATA% on
// Windows); empty when none can be determined. No trailing separator.
std::string stateFolder();

// The directory temporary names are made in: $TMPDIR when it is a directory, else `preferred`
// when it is one, else /tmp. No trailing separator.
std::string temporaryDirectory(const std::string& preferred);

}  // namespace quorlink
