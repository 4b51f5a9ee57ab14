#pragma once
// Where the serial ports COM1 and COM2 (and their RS485 kinds) lead on this machine.
// Looked up in this order:
//   1. the environment variable QUORVEL_COM1 / QUORVEL_COM2 ("/dev/ttyUSB0"),
//   2. a line "COM1=/dev/ttyUSB0" in $XDG_CONFIG_HOME/Quorvel/ports.conf (~/.config when unset),
//   3. /dev/ttyS0 for COM1, /dev/ttyS1 for COM2.
#include <filesystem>
#include <string>

namespace linkpad {

struct ComMapping {
    std::string device;  // "/dev/ttyS0"
    std::string source;  // where the mapping came from, for messages
};

// 1 for port kinds 1 and 10, 2 for 2 and 20, otherwise 0.
int comNumberForPortKind(int portKind);
ComMapping comDevice(int comNumber);
std::filesystem::path comMappingFile();

}  // namespace linkpad
