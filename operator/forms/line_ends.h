#pragma once
// The drivers' texts end lines with CR, files with LF or CR LF; widgets want one line feed.
#include <QString>

namespace quorvel::forms {

// CR LF, lone CR and lone LF all become one line feed.
inline QString NormalizedLineEnds(const QString& text) {
    QString result = text;
    result.replace("\r\n", "\n");
    result.replace('\r', '\n');
    return result;
}

}  // namespace quorvel::forms
