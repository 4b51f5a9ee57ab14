#include "operator/drivers/processor_types.h"

#include <map>

namespace quorvel {

ProcessorTypeCode ProcessorTypeCodeOf(const QString& processorType) {
    // The code and the characters that follow the type name before the version digits.
    static const std::map<QString, std::pair<int, int>> table = {
        {"KX13", {0, 0}},
        {"KX43A", {1, 0}},
        {"KX43", {1, 1}},
        {"KX43B", {2, 0}},
        {"KX43-B", {3, 0}},
        {"KX33", {4, 0}},
        {"KX63", {kKx63TypeCode, 1}},
    };
    const auto row = table.find(processorType);
    const auto [code, extra] = row == table.end() ? std::pair{3, 0} : row->second;
    return {code, static_cast<int>(processorType.size()) + extra};
}

QString DirectoryVersion(const QString& directoryName, int prefixLength) {
    return "P" + directoryName.mid(prefixLength, 1) + "." + directoryName.mid(prefixLength + 1, 2);
}

}  // namespace quorvel
