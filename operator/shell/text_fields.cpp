#include "operator/shell/text_fields.h"

namespace quorvel {

QString NextToken(QString& text, const QString& separator) {
    const qsizetype at = separator.isEmpty() ? -1 : text.indexOf(separator);
    if (at < 0) {
        QString token = text;
        text.clear();
        return token;
    }
    QString token = text.left(at);
    text = text.mid(at + separator.size());
    return token;
}

QString OffsetIpAddress(const QString& address, int n) {
    qsizetype dot = -1;
    for (int i = 0; i < 3; ++i) {
        dot = address.indexOf('.', dot + 1);
        if (dot < 0) return address;
    }
    const QString tail = address.mid(dot + 1);
    if (tail.isEmpty()) return address;
    qsizetype digits = 0;
    while (digits < tail.size() && tail[digits].isDigit() && digits < 4) ++digits;
    const int number = tail.left(digits).toInt();
    if (number > 255) return address;
    const int sum = number + n;
    if (sum > 255 || sum < 0) return address;
    return address.left(dot + 1) + QString::number(sum) + tail.mid(digits);
}

long long LeadingNumber(const QString& text) {
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == '-' || t[end] == '+')) ++end;
    while (end < t.size() && t[end].isDigit() && end < 18) ++end;
    bool ok = false;
    const long long value = t.left(end).toLongLong(&ok);
    return ok ? value : 0;
}

QString StripQuotedAnswer(const QString& answer) {
    const qsizetype cr = answer.indexOf('\r');
    const QString line = cr < 0 ? answer : answer.left(cr);
    return line.size() < 2 ? QString() : line.mid(1, line.size() - 2);
}

}  // namespace quorvel
