#pragma once
// Small text helpers shared by the shell's parsers.
#include <QString>

namespace quorvel {

// The text before the first `separator` (all of it when there is none); `text` becomes what
// follows the separator (empty when nothing does).
QString NextToken(QString& text, const QString& separator);

// Adds `n` to the number behind the third "." of a dotted address ("10.0.0.140" + 1 ->
// "10.0.0.141"). A ":port" behind the number is kept. Unchanged when the address has no third
// dot with text behind it or when the sum would exceed 255.
QString OffsetIpAddress(const QString& address, int n);

// The leading decimal number of a text (blanks and a sign allowed), 0 when there is none:
// "38400" -> 38400, " 12abc" -> 12, "x" -> 0.
long long LeadingNumber(const QString& text);

// The text before its first CR without its first and last character (quotation marks).
QString StripQuotedAnswer(const QString& answer);

}  // namespace quorvel
