// The rack file on any text: a description is either refused with an exception or builds a rack
// that then takes a few command lines without crashing.
#include <nlohmann/json.hpp>

#include <stdexcept>

#include "rack/core/rack_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto description = nlohmann::json::parse(data, data + size, nullptr, false);
    if (description.is_discarded()) return 0;
    try {
        auto rack = rack::buildRack(description);
        const linkpad::Clock::time_point start{};
        rack->fromHost("\x12IDN?\r\nSRB1\r\nPRC1,1\r\nPRC?304\r\nPCH?25,2\r\nDID?\r\n", start);
        while (rack->peekToHost()) rack->popToHost();
    } catch (const std::exception&) {
        // refused with a message: what a broken rack file should get
    }
    return 0;
}
