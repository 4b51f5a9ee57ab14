#pragma once
// The device-link library, bound by name at first use. Each export is looked up the first time it
// is called; a missing library or export raises LibraryError naming what is missing.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "link/quorlink.h"

namespace quorvel {

class LibraryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class QuorlinkLibrary {
public:
    // `path` empty: the program's own exports when it carries them (test programs), else
    // "libquorlink.so.N" next to the program, in the installation's library folder, in ../lib,
    // then on the library path.
    explicit QuorlinkLibrary(std::string path = {});
    ~QuorlinkLibrary();
    QuorlinkLibrary(const QuorlinkLibrary&) = delete;
    QuorlinkLibrary& operator=(const QuorlinkLibrary&) = delete;

    // Looks the export up (loading the library first if needed); throws LibraryError.
    void* symbol(const char* name);

    template <typename Function>
    Function function(const char* name) {
        return reinterpret_cast<Function>(symbol(name));
    }

    // Where the library was loaded from (empty until it was).
    const std::string& loadedFrom() const { return loadedFrom_; }

private:
    void load();

    std::string requestedPath_;
    std::string loadedFrom_;
    void* handle_ = nullptr;
};

// Calls an export by name with its declared type; throws LibraryError when it is missing.
#define QUORLINK_INVOKE(library, name, ...) \
    ((library).function<decltype(&::name)>(#name)(__VA_ARGS__))

}  // namespace quorvel
