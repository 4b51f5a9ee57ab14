#pragma once
// An open C file that closes itself.
#include <cstdio>
#include <memory>
#include <string>

namespace quorlink::panel {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using CFile = std::unique_ptr<std::FILE, FileCloser>;

inline CFile openFile(const std::string& path, const char* mode) {
    return CFile(std::fopen(path.c_str(), mode));
}

}  // namespace quorlink::panel
