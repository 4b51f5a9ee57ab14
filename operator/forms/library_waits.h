#pragma once
// While it lives, the port library's long waits show in a window: a notice counting down the
// seconds the module may still take, painted while the library holds the window's thread. The
// latest one made shows the waits until it ends, then the one before it again (they end in the
// reverse order they were made); an empty text takes the notice away.
#include <QString>
#include <functional>

#include "linkpad/linkpad.h"

namespace quorvel::forms {

class LibraryWaits {
  public:
    using Show = std::function<void(const QString&)>;

    explicit LibraryWaits(Show show);
    ~LibraryWaits();
    LibraryWaits(const LibraryWaits&) = delete;
    LibraryWaits& operator=(const LibraryWaits&) = delete;

  private:
    static void LINKPAD_CALL notice(int32_t totalMs, int32_t waitedMs, void* context);

    Show show_;
    LibraryWaits* previous_;
};

}  // namespace quorvel::forms
