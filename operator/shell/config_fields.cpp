#include "operator/shell/config_fields.h"

namespace quorvel {
namespace {
bool isBlank(QChar c) { return c == ' ' || c == '\t'; }
bool isLineEnd(QChar c) { return c == '\r' || c == '\n'; }
}  // namespace

void ConfigFieldReader::skipBlanksAndEmptyLines() {
    while (at_ < text_.size() && (isBlank(text_[at_]) || isLineEnd(text_[at_]))) {
        if (text_[at_] == '\n') ++line_;
        ++at_;
    }
}

bool ConfigFieldReader::atEnd() {
    if (emptyFieldPending_) return false;
    skipBlanksAndEmptyLines();
    return at_ >= text_.size();
}

std::optional<ConfigField> ConfigFieldReader::next() {
    if (emptyFieldPending_) {
        emptyFieldPending_ = false;
        return ConfigField{QString(), line_, true};
    }
    if (atEnd()) return std::nullopt;
    ConfigField field;
    field.line = line_;
    field.text = text_[at_] == '"' ? readQuoted() : readPlain();
    skipSeparator();
    return field;
}

QString ConfigFieldReader::readQuoted() {
    ++at_;  // opening quote
    const qsizetype close = text_.indexOf('"', at_);
    const qsizetype end = close < 0 ? text_.size() : close;
    QString value = text_.mid(at_, end - at_);
    line_ += static_cast<int>(value.count('\n'));
    at_ = close < 0 ? end : end + 1;
    // Anything between the closing quote and the separator is ignored.
    while (at_ < text_.size() && text_[at_] != ',' && !isLineEnd(text_[at_])) ++at_;
    return value;
}

QString ConfigFieldReader::readPlain() {
    const qsizetype start = at_;
    while (at_ < text_.size() && text_[at_] != ',' && !isLineEnd(text_[at_])) ++at_;
    return text_.mid(start, at_ - start).trimmed();
}

void ConfigFieldReader::skipSeparator() {
    while (at_ < text_.size() && isBlank(text_[at_])) ++at_;
    if (at_ < text_.size() && text_[at_] == ',') {
        ++at_;
        // A comma at the end of a line or of the text leaves an empty last field.
        while (at_ < text_.size() && isBlank(text_[at_])) ++at_;
        emptyFieldPending_ = at_ >= text_.size() || isLineEnd(text_[at_]);
    }
}

std::optional<long long> FieldNumber(const QString& field) {
    bool ok = false;
    const long long value = field.trimmed().toLongLong(&ok, 10);
    if (!ok) return std::nullopt;
    return value;
}

}  // namespace quorvel
