// What a firmware name tells: its version and the name of its information file.
#include "operator/drivers/firmware_catalogue.h"

namespace quorvel {

QString VersionFromFileName(const QString& name) {
    QString digits;
    if (name.contains("DV33A", Qt::CaseInsensitive) ||
        name.contains("DV43A", Qt::CaseInsensitive)) {
        // The three characters after the five-character panel type.
        digits = name.mid(5, 3);
        if (digits.contains('.')) digits.clear();
    } else {
        const qsizetype dot = name.indexOf('.');
        if (dot >= 3) {
            digits = name.mid(dot - 3, 3);
            if (digits.front() == 'P' || digits.front() == 'p') digits.front() = '0';
        }
    }
    if (digits.size() < 3) return {};
    return "P" + digits.left(1) + "." + digits.right(2);
}

QString InformationFileName(const QString& name) {
    const qsizetype dot = name.indexOf('.');
    if (dot < 0 || dot + 1 >= name.size()) return {};
    QString information = name;
    information[dot + 1] = 'T';
    return information;
}

}  // namespace quorvel
