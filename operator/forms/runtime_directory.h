#pragma once
// Qt's windows use the session's runtime directory; where there is none (a container, ssh
// without a login session) Qt warns on stderr and guesses one. The program's own private
// directory below the temporary directory, where its instance locks also go, stands in for it.
namespace quorvel::forms {

// Sets XDG_RUNTIME_DIR to the private directory when it is unset; call before QApplication.
void ProvideRuntimeDirectory();

}  // namespace quorvel::forms
