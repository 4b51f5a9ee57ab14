#include "link/processor/kx43_ini_patch.h"

#include <array>
#include <charconv>
#include <optional>
#include <string_view>

#include "linkpad/linkpad.h"

namespace quorlink::processor {

namespace {

constexpr size_t kGpibAddress = 0;
constexpr size_t kRs485Address = 1;
constexpr size_t kTcpIpAddress = 2;
constexpr size_t kRs232Line = 6;
constexpr size_t kRs485Line = 10;

void put(std::string& block, size_t offset, uint8_t value) {
    if (offset < block.size()) block[offset] = static_cast<char>(value);
}

// Baud-rate code, 0, parity code, stop bits.
void putLine(std::string& block, size_t offset, const ConnectionState& c) {
    put(block, offset, baudRateCode(c.portParameter));
    put(block, offset + 1, 0);
    put(block, offset + 2, parityCode(c.portAddress));
    put(block, offset + 3, static_cast<uint8_t>(c.portOption & 0xFF));
}

// "a.b.c.d" with an optional ":port"; nullopt for host names and anything else, so that a
// name never turns into an address the processor cannot be reached on.
std::optional<std::array<uint8_t, 4>> dottedAddress(std::string_view text) {
    text = text.substr(0, text.find(':'));
    std::array<uint8_t, 4> parts{};
    for (size_t i = 0; i < parts.size(); ++i) {
        unsigned value = 256;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || value > 255) return std::nullopt;
        parts[i] = static_cast<uint8_t>(value);
        text.remove_prefix(static_cast<size_t>(end - text.data()));
        if (i + 1 < parts.size()) {
            if (!text.starts_with('.')) return std::nullopt;
            text.remove_prefix(1);
        }
    }
    if (!text.empty()) return std::nullopt;
    return parts;
}

}  // namespace

uint8_t baudRateCode(int32_t baudRate) {
    constexpr int32_t kRates[] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    for (uint8_t code = 0; code < std::size(kRates); ++code)
        if (kRates[code] == baudRate) return code;
    return 5;
}

uint8_t parityCode(const std::string& parity) {
    if (parity.starts_with("n")) return 0;
    if (parity.starts_with("o")) return 1;
    return 2;
}

void patchInitialisationBlock(std::string& block, const ConnectionState& c) {
    switch (c.portKind) {
        case QTX_PORT_GPIB:
            put(block, kGpibAddress, static_cast<uint8_t>(c.deviceAddress & 0xFF));
            break;
        case QTX_PORT_COM1_RS485:
        case QTX_PORT_COM2_RS485:
            put(block, kRs485Address, static_cast<uint8_t>(c.deviceAddress & 0xFF));
            putLine(block, kRs485Line, c);
            break;
        case QTX_PORT_TCP:
            if (const auto address = dottedAddress(c.portAddress))
                for (size_t i = 0; i < address->size(); ++i)
                    put(block, kTcpIpAddress + i, (*address)[i]);
            break;
        case QTX_PORT_COM1:
        case QTX_PORT_COM2:
            putLine(block, kRs232Line, c);
            break;
        default:
            break;
    }
}

}  // namespace quorlink::processor
