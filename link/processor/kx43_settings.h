#pragma once
// The KX43 settings kept across a firmware update: read before the boot loader starts, kept for
// the whole process, written back once the new firmware runs.
#include <array>
#include <string>

namespace quorlink::processor {

enum class SettingsSet { A, B };

// Variant 5 is the newer processor generation with settings set B.
inline SettingsSet settingsSetOf(int variant) { return variant == 5 ? SettingsSet::B : SettingsSet::A; }

enum class Setting {
    SerialNumber, TcpIpAddress, GpibAddress, Rs485Address, Rs485Port, Rs232Port, PowerSaveMode,
    PowerSaveTiming, Filter, MultiClient, ZeroTimeChannel, MsrWithTsv, GeneralPurposeRegister,
    Pip1, Pip2, Pop1, Pop2, NtpServerStart, NtpServerAddress, Count
};

constexpr const char* kNotAvailable = "?";

using SettingsStore = std::array<std::string, static_cast<size_t>(Setting::Count)>;

// The module-level store; never cleared.
SettingsStore& settingsStore();

// "CHS-1", "SPS1", "IDN?", then the queries of the set; 0, or -1 after the time-out's message.
int readSettings(SettingsSet set);
// The processor was found in its boot loader: entries never read become "not available".
void markUnreadSettings();

// Writes the stored settings of the set back; false after the failing command's message.
bool restoreSettings(SettingsSet set, int variant);

}  // namespace quorlink::processor
