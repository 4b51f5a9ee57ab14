#pragma once
// Splits a configuration file's fields into records of a fixed size and checks them: numeric
// columns must read as numbers and a table holds a limited number of rows.
#include <QString>
#include <QStringList>
#include <set>
#include <vector>

#include "operator/shell/config_fields.h"

namespace quorvel {

struct ConfigRecord {
    std::vector<ConfigField> fields;
    int line = 0;
    QString text(size_t column) const { return fields[column].text; }
    long long number(size_t column) const { return *FieldNumber(fields[column].text); }
};

struct RecordLayout {
    size_t fieldCount = 0;
    std::set<size_t> numericColumns;
    size_t maximumRows = 0;
};

struct RecordsRead {
    std::vector<ConfigRecord> records;  // only accepted ones
    QStringList problems;               // "line 7: ..." for each refused record
};

// Reads records until the end of the fields.
RecordsRead ReadRecords(ConfigFieldReader& reader, const RecordLayout& layout);

}  // namespace quorvel
