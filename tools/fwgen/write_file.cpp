// Files appear complete or not at all: written beside the target, then renamed over it.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "tools/fwgen/fwgen.h"

namespace fwgen {

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

}  // namespace

void writeFileAtomically(const std::string& path, const std::string& text) {
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) fail("cannot create a temporary file for", path);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(fdopen(fd, "wb"), &std::fclose);
    if (!file) {
        ::close(fd);
        std::remove(temporary.c_str());
        fail("cannot open a temporary file for", path);
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size() &&
                         std::fflush(file.get()) == 0 && fsync(fd) == 0;
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed) {
        std::remove(temporary.c_str());
        fail("cannot write", path);
    }
    // mkstemp creates 0600; a firmware file is an ordinary file for everybody.
    std::error_code ec;
    std::filesystem::permissions(
        temporary,
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
            std::filesystem::perms::group_read | std::filesystem::perms::others_read,
        ec);
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        fail("cannot rename the temporary file to", path);
    }
}

}  // namespace fwgen
