#pragma once
// Detects other running instances of the program. Each instance holds one lock file
// "quorvel-<n>.lock" in a shared directory for its whole life; a lock held by a process that
// died is taken over.
#include <QLockFile>
#include <QString>
#include <memory>

namespace quorvel {

class InstanceCheck {
public:
    static constexpr int kSlots = 64;

    // `directory` empty: the user's runtime directory (else the temporary directory).
    explicit InstanceCheck(const QString& directory = {});
    ~InstanceCheck();
    InstanceCheck(const InstanceCheck&) = delete;
    InstanceCheck& operator=(const InstanceCheck&) = delete;

    // True when another instance held its lock when this one started.
    bool otherInstanceRunning() const { return othersRunning_; }

private:
    QString lockPath(int slot) const;

    QString directory_;
    std::unique_ptr<QLockFile> own_;
    bool othersRunning_ = false;
};

}  // namespace quorvel
