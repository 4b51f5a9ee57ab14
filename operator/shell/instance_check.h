#pragma once
// Detects other running instances of the program. Each instance holds an advisory lock on one
// file "quorvel-<n>.lock" in a shared directory for its whole life; the system releases it when
// the process ends, however it ends.
#include <QString>

namespace quorvel {

// The user's own directory below the temporary directory (made private when it is created); the
// temporary directory itself when that name belongs to someone else.
QString PrivateTemporaryDirectory();

class InstanceCheck {
  public:
    static constexpr int kSlots = 32;

    // `directory` empty: the user's runtime directory (else the temporary directory).
    explicit InstanceCheck(const QString& directory = {});
    ~InstanceCheck();
    InstanceCheck(const InstanceCheck&) = delete;
    InstanceCheck& operator=(const InstanceCheck&) = delete;

    // True when another instance held its lock when this one started.
    bool otherInstanceRunning() const { return othersRunning_; }

  private:
    int ownLock_ = -1;
    bool othersRunning_ = false;
};

}  // namespace quorvel
