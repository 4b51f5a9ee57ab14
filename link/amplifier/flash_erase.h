#pragma once
// Erasing the flash of the selected channels before programming.
#include <cstdint>

#include "link/amplifier/application_download.h"

namespace quorlink::amplifier {

// "L...00" for the loader-1 area of every selected channel; errors are reported and ignored.
void eraseLoader1Areas(const ApplicationJob& job);
// Type 2: banks 1-3 of every selected channel, retried through group 3; never fails.
void eraseType2Banks(const ApplicationJob& job);
// Type 3: the sector walk from 18 down for every selected channel. 0 or -2.
int eraseType3Sectors(const ApplicationJob& job, int64_t fileStart, int64_t fileEnd);
// Type 4: external sectors (when `external`) and internal banks. 0, -1 or -2.
int eraseType4(const ApplicationJob& job, bool external, int64_t start, int64_t end);

// Start address of flash sector 0-18.
int64_t sectorStart(int sector);

}  // namespace quorlink::amplifier
