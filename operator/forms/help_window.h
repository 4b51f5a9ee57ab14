#pragma once
// The program's manual in a viewer of its own.
#include <QString>

class QWidget;

namespace quorvel::forms {

// The manual's first page: installed beside the program (../share/doc/Quorvel/manual/index.md),
// else in the source tree's docs/manual. Empty when there is none.
QString ManualFile(const QString& programDirectory);

// Opens the manual, or says where it was looked for.
void ShowManual(QWidget* parent, const QString& programDirectory);

}  // namespace quorvel::forms
