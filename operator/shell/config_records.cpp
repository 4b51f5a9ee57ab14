#include "operator/shell/config_records.h"

namespace quorvel {
namespace {

// The first numeric column that does not read as a number, if any.
std::optional<size_t> badNumber(const ConfigRecord& record, const RecordLayout& layout) {
    for (size_t column : layout.numericColumns) {
        if (!FieldNumber(record.fields[column].text)) return column;
    }
    return std::nullopt;
}

}  // namespace

RecordsRead ReadRecords(ConfigFieldReader& reader, const RecordLayout& layout) {
    RecordsRead result;
    bool tableFull = false;
    while (!reader.atEnd()) {
        ConfigRecord record;
        while (record.fields.size() < layout.fieldCount) {
            auto field = reader.next();
            if (!field) break;
            if (field->trailing && record.fields.empty()) continue;
            record.fields.push_back(*field);
        }
        if (record.fields.empty()) break;
        record.line = record.fields.front().line;
        const QString where = QString("line %1: ").arg(record.line);
        if (record.fields.size() < layout.fieldCount) {
            result.problems << where + QString("the record has %1 of %2 fields")
                                           .arg(record.fields.size())
                                           .arg(layout.fieldCount);
        } else if (auto column = badNumber(record, layout)) {
            result.problems << where + QString("field %1 \"%2\" is not a number")
                                           .arg(*column + 1)
                                           .arg(record.fields[*column].text);
        } else if (result.records.size() >= layout.maximumRows) {
            if (!tableFull) {
                result.problems << where + QString("the table holds only %1 rows; this and the "
                                                   "following records are ignored")
                                               .arg(layout.maximumRows);
            }
            tableFull = true;
        } else {
            result.records.push_back(std::move(record));
        }
    }
    return result;
}

}  // namespace quorvel
