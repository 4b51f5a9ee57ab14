// C exports of the connection and the message buffer.
#include <cstring>

#include "link/channel/channel.h"
#include "link/channel/connection.h"
#include "link/quorlink.h"

using quorlink::channel;

extern "C" {

int32_t OpenConnection(int32_t portKind, int32_t portParameter, const char* portAddress,
                       int32_t portValue, int32_t portOption, int32_t timeoutMs,
                       QuorlinkCallback message, int32_t deviceAddress, int32_t trafficLog) {
    return quorlink::openConnection({portKind, portParameter, portAddress, portValue, portOption,
                                     timeoutMs, message, deviceAddress, trafficLog});
}

int32_t CloseConnection(void) { return quorlink::closeConnection(); }

int32_t SendString(char* destination) {
    const std::string& text = channel().messageBuffer();
    if (!destination) return 0;
    std::memcpy(destination, text.c_str(), text.size() + 1);
    return static_cast<int32_t>(text.size());
}

int32_t ReceiveString(const char* source) {
    if (!source) return 0;
    // At most 511 characters fit the message buffer; never read past them.
    const size_t length = strnlen(source, quorlink::Channel::kMessageBufferSize - 1);
    channel().setMessageBuffer(std::string_view(source, length));
    return 0;
}

}  // extern "C"
