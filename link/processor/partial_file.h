#pragma once
// A file written under a temporary name beside its target and renamed over it only when complete,
// so a failed upload neither leaves half a file nor destroys the previous one.
#include <filesystem>
#include <fstream>

namespace quorlink::processor {

class PartialFile {
public:
    explicit PartialFile(std::filesystem::path target);
    ~PartialFile();  // removes the temporary file unless committed
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    bool isOpen() const { return out_.is_open() && out_.good(); }
    std::ofstream& stream() { return out_; }
    // Closes and renames onto the target; false when either fails (the temporary file is removed).
    bool commit();

private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::ofstream out_;
    bool committed_ = false;
};

}  // namespace quorlink::processor
