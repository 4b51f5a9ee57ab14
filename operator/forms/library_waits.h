#pragma once
// While it lives, the port library's long waits show in the main window: a notice counting down
// the seconds the module may still take, painted while the library holds the window's thread.
#include "linkpad/linkpad.h"
#include "operator/forms/main_window.h"

namespace quorvel::forms {

class LibraryWaits {
  public:
    explicit LibraryWaits(MainWindow& window);
    ~LibraryWaits();
    LibraryWaits(const LibraryWaits&) = delete;
    LibraryWaits& operator=(const LibraryWaits&) = delete;

  private:
    static void LINKPAD_CALL notice(int32_t totalMs, int32_t waitedMs, void* context);

    MainWindow& window_;
};

}  // namespace quorvel::forms
