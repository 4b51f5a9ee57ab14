#include "link/images/check_tables.h"

namespace quorlink {

CheckTables& checkTables() {
    static CheckTables tables;
    return tables;
}

}  // namespace quorlink
