// GetLogFileName: the library's log file lies in the temporary directory, or failing that in
// the user's documents folder. No file is created.
#include <cstring>

#include "link/channel/platform_paths.h"
#include "link/quorlink.h"

namespace {
constexpr size_t kLongestFolder = 512;
}

extern "C" int32_t GetLogFileName(char* buffer, int32_t* length) {
    std::string folder = quorlink::documentsFolder();
    if (folder.size() + 1 > kLongestFolder) folder.clear();
    if (!folder.empty()) folder += '/';
    const std::string directory = quorlink::temporaryDirectory(
        folder.empty() ? std::string() : folder.substr(0, folder.size() - 1));
    std::string result = directory + "/Quorlink.log";
    if (result.size() > kLongestFolder) result = folder;
    if (buffer) std::memcpy(buffer, result.c_str(), result.size() + 1);
    if (length) *length = static_cast<int32_t>(result.size());
    return 0;
}
