#pragma once
// Opens the connection with the stored port settings and 6000 ms, and closes it however the
// scope is left. A failed open has already been reported by the library.
#include "operator/drivers/library_gateway.h"

namespace quorvel {

class ConnectionGuard {
  public:
    explicit ConnectionGuard(LibraryGateway& gateway)
        : gateway_(gateway), result_(gateway.openConnection()) {}
    ~ConnectionGuard() { gateway_.closeConnection(); }
    ConnectionGuard(const ConnectionGuard&) = delete;
    ConnectionGuard& operator=(const ConnectionGuard&) = delete;

    bool opened() const { return result_ == 0; }
    int result() const { return result_; }

  private:
    LibraryGateway& gateway_;
    int result_;
};

}  // namespace quorvel
