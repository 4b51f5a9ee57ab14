#pragma once
// The field reader of the configuration files: fields are separated by commas or line ends, a
// field may be quoted (then it may hold commas), blanks around unquoted fields are ignored.
#include <QString>
#include <optional>

namespace quorvel {

struct ConfigField {
    QString text;
    int line = 0;  // 1-based line the field starts on
    // The empty field behind a comma that ends a line: a record that is already complete
    // ignores it.
    bool trailing = false;
};

class ConfigFieldReader {
public:
    explicit ConfigFieldReader(QString text) : text_(std::move(text)) {}

    // The next field, or nullopt at the end of the text.
    std::optional<ConfigField> next();
    bool atEnd();

private:
    void skipBlanksAndEmptyLines();
    QString readQuoted();
    QString readPlain();
    void skipSeparator();

    QString text_;
    qsizetype at_ = 0;
    int line_ = 1;
    bool emptyFieldPending_ = false;
};

// A field as a whole decimal number (sign allowed, blanks ignored); nullopt otherwise.
std::optional<long long> FieldNumber(const QString& field);

}  // namespace quorvel
