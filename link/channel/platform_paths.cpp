#include "link/channel/platform_paths.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace quorlink {

namespace {

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool isDirectory(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(path, ec);
}

// Reads XDG_DOCUMENTS_DIR="$HOME/..." from user-dirs.dirs, as xdg-user-dir does.
std::string xdgDocumentsDir(const std::string& home) {
    std::string config = env("XDG_CONFIG_HOME");
    if (config.empty()) config = home + "/.config";
    std::ifstream file(config + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(file, line)) {
        if (!line.starts_with(key)) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.starts_with("$HOME")) value = home + value.substr(5);
        if (!value.starts_with("/")) return "";
        while (value.size() > 1 && value.back() == '/') value.pop_back();
        return value;
    }
    return "";
}

}  // namespace

std::string documentsFolder() {
    const std::string home = env("HOME");
    if (home.empty()) return "";
    const std::string xdg = xdgDocumentsDir(home);
    return xdg.empty() ? home + "/Documents" : xdg;
}

std::string stateFolder() {
#ifdef _WIN32
    return env("LOCALAPPDATA");
#else
    std::string state = env("XDG_STATE_HOME");
    while (state.size() > 1 && state.back() == '/') state.pop_back();
    if (state.starts_with("/")) return state;
    const std::string home = env("HOME");
    return home.empty() ? "" : home + "/.local/state";
#endif
}

std::string temporaryDirectory(const std::string& preferred) {
    std::string tmp = env("TMPDIR");
    while (tmp.size() > 1 && tmp.back() == '/') tmp.pop_back();
    if (isDirectory(tmp)) return tmp;
    if (isDirectory(preferred)) return preferred;
    return "/tmp";
}

}  // namespace quorlink
