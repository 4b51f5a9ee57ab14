#pragma once
// The about box: the program's version and the device-link library's.
#include <QString>

class QWidget;

namespace quorvel {
class QuorlinkLibrary;
}

namespace quorvel::forms {

// Where the device-link library was loaded from, or why it is not available. The library is
// built and shipped with the program and carries its version.
QString LibraryLocation(QuorlinkLibrary& library);

void ShowAboutBox(QWidget* parent, QuorlinkLibrary& library);

}  // namespace quorvel::forms
