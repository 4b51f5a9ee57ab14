#pragma once
// Files for the panel tests: a scratch folder, flat images of test firmware, hex text.
#include <cstdint>
#include <string>
#include <vector>

#include "rack/panel/dv_panel.h"
#include "temp_dir.h"
#include "tools/fwgen/fwgen.h"

namespace panel_testing {

// A fresh folder, removed with everything in it.
using ScratchDir = testing_support::TempDir;

// The bytes the segments give in an image of `size` bytes where address `base` is byte 0.
std::vector<uint8_t> flatImage(const std::vector<fwgen::Segment>& segments, size_t size,
                               uint32_t base = 0, uint8_t fill = 0);
std::string upperHex(const std::vector<uint8_t>& bytes, size_t from, size_t count);
// The first of the panel's flash sectors [first, last] that differs from the image (the
// write-protected loader-I area aside), -1 when all are equal.
int firstDifferentSector(const rack::panel::DvPanel& panel, const std::vector<uint8_t>& image,
                         int first, int last);

}  // namespace panel_testing
