#include "operator/forms/about_box.h"

#include <QMessageBox>

#include "operator/shell/quorlink_library.h"

#ifndef QUORVEL_VERSION
#define QUORVEL_VERSION "0.0.0"
#endif

namespace quorvel::forms {

QString LibraryLocation(QuorlinkLibrary& library) {
    try {
        library.symbol("CloseConnection");
    } catch (const LibraryError& error) {
        return QString("not available (%1)").arg(error.what());
    }
    return QString::fromStdString(library.loadedFrom());
}

void ShowAboutBox(QWidget* parent, QuorlinkLibrary& library) {
    QMessageBox::about(parent, "About Quorvel",
                       QString("<h3>Quorvel %1</h3>"
                               "<p>Firmware loader for Ventrix measuring-amplifier racks.</p>"
                               "<p>Device-link library Quorlink %1<br>%2</p>")
                           .arg(QUORVEL_VERSION, LibraryLocation(library).toHtmlEscaped()));
}

}  // namespace quorvel::forms
