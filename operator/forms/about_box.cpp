#include "operator/forms/about_box.h"

#include <QMessageBox>

#include "operator/shell/program_version.h"
#include "operator/shell/quorlink_library.h"

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
    QMessageBox::about(
        parent, "About Quorvel",
        QString("<h3>Quorvel %1</h3>"
                "<p>Firmware loader for Ventrix measuring-amplifier racks.</p>"
                "<p>Device-link library Quorlink %1<br>%2</p>")
            .arg(QString(kProgramVersion), LibraryLocation(library).toHtmlEscaped()));
}

}  // namespace quorvel::forms
