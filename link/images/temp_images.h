#pragma once
// Temporary block-image files: at most 20 at a time, created 0600 with a "tmp" prefix in the
// temporary directory, deleted at the end of each download and when the library is unloaded.
#include <cstdio>

namespace quorlink {

// An open "w+b" file owned by the registry, or nullptr (registry full, no name, cannot open).
std::FILE* CreateTempImage();
// Closes and deletes every registered file, last first.
void DeleteTempImages();
// How many are registered (for tests and diagnostics).
int TempImageCount();

}  // namespace quorlink
