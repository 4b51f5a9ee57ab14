#pragma once
// An upload file that appears only when complete: written next to its final name and renamed
// by commit(); removed when it is dropped unfinished, so a failed upload leaves no partial file
// and does not destroy an earlier file of that name.
#include <cstdio>
#include <string>
#include <string_view>

namespace quorlink::amplifier {

class OutputFile {
public:
    explicit OutputFile(std::string path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    bool write(std::string_view bytes);
    bool commit();
    size_t written() const { return written_; }

private:
    void discard();

    std::string path_;
    std::string partPath_;
    std::FILE* file_ = nullptr;
    size_t written_ = 0;
};

}  // namespace quorlink::amplifier
