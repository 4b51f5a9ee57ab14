#include "operator/shell/quorlink_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

namespace quorvel {
namespace {

// The library's SONAME (libquorlink.so.N), which an installation always provides.
constexpr const char* kLibraryName = QUORLINK_LIBRARY_NAME;

std::filesystem::path programDirectory() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : self.parent_path();
}

std::vector<std::string> candidates() {
    std::vector<std::string> paths;
    const auto directory = programDirectory();
    if (!directory.empty()) {
        paths.push_back((directory / kLibraryName).string());
        const auto installed = directory / QUORLINK_LIBRARY_FROM_PROGRAM / kLibraryName;
        paths.push_back(installed.lexically_normal().string());
        paths.push_back((directory.parent_path() / "lib" / kLibraryName).string());
    }
    paths.emplace_back(kLibraryName);  // the library path
    return paths;
}

}  // namespace

QuorlinkLibrary::QuorlinkLibrary(std::string path) : requestedPath_(std::move(path)) {}

QuorlinkLibrary::~QuorlinkLibrary() {
    if (handle_) dlclose(handle_);
}

void QuorlinkLibrary::load() {
    // A program that carries the exports itself (a test program that links the library's units)
    // uses them, so that it and the operator code share one connection state.
    if (requestedPath_.empty() && dlsym(RTLD_DEFAULT, "OpenConnection")) {
        handle_ = dlopen(nullptr, RTLD_NOW);
        loadedFrom_ = "this program";
        return;
    }
    const auto paths = requestedPath_.empty() ? candidates() : std::vector{requestedPath_};
    std::string lastError;
    for (const auto& path : paths) {
        const bool bareName = path.find('/') == std::string::npos;
        if (!bareName && !std::filesystem::exists(path)) continue;
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_) {
            loadedFrom_ = path;
            return;
        }
        if (const char* why = dlerror()) lastError = why;
    }
    throw LibraryError("The device-link library " + std::string(kLibraryName) +
                       " was not found next to the program or on the library path" +
                       (lastError.empty() ? std::string() : " (" + lastError + ")") +
                       ". Reinstall the program or set LD_LIBRARY_PATH.");
}

void* QuorlinkLibrary::symbol(const char* name) {
    if (!handle_) load();
    dlerror();
    void* address = dlsym(handle_, name);
    if (!address) {
        throw LibraryError("The device-link library " + loadedFrom_ + " has no export " + name +
                           "; it does not belong to this program version.");
    }
    return address;
}

}  // namespace quorvel
