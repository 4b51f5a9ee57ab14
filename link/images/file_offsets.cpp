#include "link/images/file_offsets.h"

namespace quorlink {

bool seekTo(std::FILE* file, int64_t position, int origin) {
#if defined(_WIN32)
    return _fseeki64(file, position, origin) == 0;
#else
    return fseeko(file, static_cast<off_t>(position), origin) == 0;
#endif
}

int64_t positionOf(std::FILE* file) {
#if defined(_WIN32)
    return _ftelli64(file);
#else
    return static_cast<int64_t>(ftello(file));
#endif
}

}  // namespace quorlink
