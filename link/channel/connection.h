#pragma once
// Opening, closing and re-establishing the connection to the rack's interpreter.
#include <cstdint>

#include "link/quorlink.h"

namespace quorlink {

struct OpenRequest {
    int32_t portKind = 0;
    int32_t portParameter = 0;
    const char* portAddress = nullptr;
    int32_t portValue = 0;
    int32_t portOption = 0;
    int32_t timeoutMs = 0;
    QuorlinkCallback message = nullptr;
    int32_t deviceAddress = -1;
    int32_t trafficLog = 0;
};

int openConnection(const OpenRequest& request);
int closeConnection();
// Brings the interpreter back after a restart: up to two attempts, 11000 ms apart.
int reopenInterpreter();

}  // namespace quorlink
