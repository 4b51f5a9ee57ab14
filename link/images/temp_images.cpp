// The registry of temporary block-image files. Names come from mkstemp ("tmp" + six characters,
// mode 0600) in the temporary directory; the registry deletes them at the end of each download
// and, through its static destructor, when the library is unloaded.
#include "link/images/temp_images.h"

#include <cstdlib>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include "link/channel/platform_paths.h"

namespace quorlink {

namespace {

constexpr size_t kMaximumFiles = 20;
constexpr size_t kMaximumNameLength = 512;

struct TempImage {
    std::FILE* file;
    std::string name;
};

class TempImageRegistry {
  public:
    ~TempImageRegistry() { deleteAll(); }

    std::FILE* create() {
        if (entries_.size() >= kMaximumFiles) return nullptr;
        std::string name = temporaryDirectory(documentsFolder()) + "/tmpXXXXXX";
        if (name.size() > kMaximumNameLength) return nullptr;
        std::FILE* file = openUnique(name);
        if (!file) return nullptr;
        entries_.push_back({file, name});
        return file;
    }

    void deleteAll() {
        while (!entries_.empty()) {
            const TempImage& last = entries_.back();
            std::fclose(last.file);
            std::remove(last.name.c_str());
            entries_.pop_back();
        }
    }

    int count() const { return static_cast<int>(entries_.size()); }

  private:
    // Replaces the X's of `name` and opens the new file "w+b"; nullptr on failure.
    static std::FILE* openUnique(std::string& name) {
#if defined(_WIN32)
        if (_mktemp_s(name.data(), name.size() + 1) != 0) return nullptr;
        return std::fopen(name.c_str(), "w+bx");
#else
        const int fd = mkstemp(name.data());
        if (fd < 0) return nullptr;
        std::FILE* file = fdopen(fd, "w+b");
        if (!file) {
            close(fd);
            std::remove(name.c_str());
        }
        return file;
#endif
    }

    std::vector<TempImage> entries_;
};

TempImageRegistry& registry() {
    static TempImageRegistry instance;
    return instance;
}

}  // namespace

std::FILE* CreateTempImage() { return registry().create(); }

void DeleteTempImages() { registry().deleteAll(); }

int TempImageCount() { return registry().count(); }

}  // namespace quorlink
