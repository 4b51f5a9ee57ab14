#include "operator/shell/config_tables.h"

namespace quorvel {

const std::vector<ControllerRow>& BuiltinControllerTable() {
    static const std::vector<ControllerRow> table = {
        {"WS003", 1}, {"WS050", 2}, {"WS004", 2}, {"WS081", 3}, {"WS680", 2},
        {"WS681", 3}, {"WS049", 2}, {"WS901", 2}, {"1", 3},     {"WS49A", 3},
        {"WS50B", 4}, {"WS004A", 3}, {"WS006", 3},
    };
    return table;
}

long long ModuleCodeByTypeName(const ConfigTables& tables, const QString& typeName) {
    for (const auto& row : tables.amplifiers) {
        if (row.typeName == typeName) return row.ampCode;
    }
    return 0;
}

}  // namespace quorvel
