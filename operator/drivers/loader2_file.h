#pragma once
// The loader-2 companion of an amplifier application file: in the application's directory, the
// first file (by name, case ignored) matching the application's name up to its first "." + "p*."
// + the extension.
#include <QString>

namespace quorvel {

// `extension` "ld2" (normal), "lp2" (production) or "l?2" (either). Empty when none is found.
QString FindLoader2File(const QString& applicationFile, const QString& extension);

// "lp2" in the production start modes "P" and "O", else "ld2".
QString Loader2Extension(const QString& startMode);

}  // namespace quorvel
