#pragma once
// How long the simulated modules take for their work (the rack's answer comes this much later).
namespace rack::amplifier::timing {

inline constexpr int kBankEraseMs = 400;
inline constexpr int kSectorEraseMs = 250;
inline constexpr int kOlderSeriesEraseMs = 1000;
inline constexpr int kExternalEraseMs = 300;
inline constexpr int kProgramBlockMs = 2;
inline constexpr int kProgramPairMs = 4;
inline constexpr int kStartMs = 50;
inline constexpr int kLoader1EntryMs = 150;
inline constexpr int kDatabaseDeleteMs = 2500;

}  // namespace rack::amplifier::timing
