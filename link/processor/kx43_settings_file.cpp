#include "link/processor/kx43_settings_file.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "link/channel/platform_paths.h"
#include "linkpad/linkpad.h"

namespace quorlink::processor {

namespace {

constexpr const char* kHeader = "quorvel kx43 settings 1";
constexpr const char* kExtension = ".settings";

bool serialPort(int32_t kind) {
    return kind == QTX_PORT_COM1 || kind == QTX_PORT_COM2 || kind == QTX_PORT_COM1_RS485 ||
           kind == QTX_PORT_COM2_RS485;
}

bool addressedPort(int32_t kind) {
    return kind == QTX_PORT_COM1_RS485 || kind == QTX_PORT_COM2_RS485 || kind == QTX_PORT_GPIB;
}

// Names the processor's connection; a serial line keeps its name while its baud rate and parity
// are switched for the download.
std::string connectionKey(const ConnectionState& c) {
    std::string key = std::to_string(c.portKind);
    if (!serialPort(c.portKind)) key += " " + c.portAddress;
    if (addressedPort(c.portKind)) key += " #" + std::to_string(c.deviceAddress);
    return key;
}

std::string fileSafe(const std::string& text) {
    std::string safe;
    for (const char c : text)
        if (c != '"') safe += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' ? c : '_';
    while (!safe.empty() && safe.front() == '.') safe.erase(0, 1);
    return safe;
}

std::string fileStem(const SettingsStore& store, const ConnectionState& connection) {
    const std::string serial = fileSafe(store[static_cast<size_t>(Setting::SerialNumber)]);
    if (!serial.empty() && serial != "-" && serial != "_") return serial;
    return "unknown-serial-" + fileSafe(connectionKey(connection));
}

std::string render(const SettingsStore& store, const std::string& connection, bool pending) {
    std::ostringstream text;
    text << kHeader << "\nconnection " << connection << "\npending " << (pending ? 1 : 0) << "\n";
    for (size_t i = 0; i < store.size(); ++i) text << i << " " << store[i] << "\n";
    return text.str();
}

bool writeAtomically(const std::filesystem::path& file, const std::string& text) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    const std::filesystem::path part = file.string() + ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        if (!(out << text) || !out.flush()) {
            out.close();
            std::filesystem::remove(part, error);
            return false;
        }
    }
    std::filesystem::rename(part, file, error);
    if (error) std::filesystem::remove(part, error);
    return !error;
}

struct ParsedFile {
    std::string connection;
    bool pending = false;
    SettingsStore store;
};

std::optional<ParsedFile> parse(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kHeader) return std::nullopt;
    ParsedFile parsed;
    for (std::string& value : parsed.store) value = kNotAvailable;
    size_t entries = 0;
    while (std::getline(in, line)) {
        const size_t space = line.find(' ');
        if (space == std::string::npos) return std::nullopt;
        const std::string key = line.substr(0, space);
        const std::string value = line.substr(space + 1);
        if (key == "connection") {
            parsed.connection = value;
        } else if (key == "pending") {
            parsed.pending = value == "1";
        } else {
            size_t index = 0;
            try {
                index = std::stoul(key);
            } catch (const std::exception&) {
                return std::nullopt;
            }
            if (index >= parsed.store.size()) return std::nullopt;
            parsed.store[index] = value;
            ++entries;
        }
    }
    if (entries != parsed.store.size()) return std::nullopt;
    return parsed;
}

}  // namespace

std::filesystem::path settingsFolder() {
    const std::string state = stateFolder();
    if (state.empty()) return {};
    return std::filesystem::path(state) / "quorvel" / "kx43-settings";
}

std::optional<std::filesystem::path> saveSettings(const SettingsStore& store,
                                                  const ConnectionState& connection) {
    const std::filesystem::path folder = settingsFolder();
    if (folder.empty()) return std::nullopt;
    const std::filesystem::path file = folder / (fileStem(store, connection) + kExtension);
    if (!writeAtomically(file, render(store, connectionKey(connection), true))) return std::nullopt;
    return file;
}

std::optional<SavedSettings> pendingSettings(const ConnectionState& connection) {
    const std::filesystem::path folder = settingsFolder();
    std::error_code error;
    if (folder.empty() || !std::filesystem::is_directory(folder, error)) return std::nullopt;
    const std::string key = connectionKey(connection);
    std::optional<SavedSettings> newest;
    std::filesystem::file_time_type newestTime;
    for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
        if (item.path().extension() != kExtension) continue;
        const auto parsed = parse(item.path());
        if (!parsed || !parsed->pending || parsed->connection != key) continue;
        const auto time = std::filesystem::last_write_time(item.path(), error);
        if (newest && time <= newestTime) continue;
        newest = SavedSettings{item.path(), parsed->store};
        newestTime = time;
    }
    return newest;
}

std::filesystem::path& storeFile() {
    static std::filesystem::path file;
    return file;
}

void markRestored(const std::filesystem::path& file) {
    if (const auto parsed = parse(file))
        writeAtomically(file, render(parsed->store, parsed->connection, false));
}

}  // namespace quorlink::processor
