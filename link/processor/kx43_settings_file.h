#pragma once
// The KX43 settings read before an update, kept in a file per processor (named after its serial
// number) under the user's state directory, so that an update run by a later process restores
// them when it finds the processor in its boot loader after an interrupted attempt.
#include <filesystem>
#include <optional>
#include <string>

#include "link/channel/channel.h"
#include "link/processor/kx43_settings.h"

namespace quorlink::processor {

// <state directory>/quorvel/kx43-settings; empty when there is no state directory.
std::filesystem::path settingsFolder();

// Writes the store as the settings of the processor on `connection`, still to be restored.
// Written to a temporary name and renamed, so a cut never leaves half a file. The file's path,
// or nullopt when it could not be written.
std::optional<std::filesystem::path> saveSettings(const SettingsStore& store,
                                                  const ConnectionState& connection);

struct SavedSettings {
    std::filesystem::path file;
    SettingsStore store;
};

// The newest settings saved for the processor on `connection` and not restored yet.
std::optional<SavedSettings> pendingSettings(const ConnectionState& connection);

// The file behind the settings store of this process; empty when the store was not saved.
std::filesystem::path& storeFile();

// The settings of `file` reached the new firmware: a later boot loader does not restore them.
void markRestored(const std::filesystem::path& file);

}  // namespace quorlink::processor
