#pragma once
// The KX43's flash file system as its boot loader writes it: one file open at a time, a file
// becomes visible when it is closed.
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace rack {

class Kx43FlashFiles {
public:
    // "PRC9,7": ready for writing.
    void prepare() { prepared_ = true; open_.reset(); }
    bool open(std::string_view name);
    bool append(std::string_view bytes);
    bool close();
    // A restart loses the file in work and the prepared state.
    void restart() { prepared_ = false; open_.reset(); }

    const std::map<std::string, std::string, std::less<>>& files() const { return files_; }
    const std::string* find(std::string_view name) const;
    void put(std::string name, std::string bytes) { files_[std::move(name)] = std::move(bytes); }

private:
    struct OpenFile {
        std::string name;
        std::string bytes;
    };
    bool prepared_ = false;
    std::optional<OpenFile> open_;
    std::map<std::string, std::string, std::less<>> files_;
};

}  // namespace rack
