#pragma once
// The remaining time of a phase from its measured rate: how long the percent done so far took,
// scaled to what is left. A phase restarts the measurement (a new status text, or progress that
// falls back); nothing is said until enough is measured to be worth saying.
#include <QString>

#include "operator/shell/run_position.h"

namespace quorvel::forms {

class RemainingTime {
  public:
    static constexpr qint64 kMinimumMeasuredMs = 2000;
    static constexpr int kMinimumMeasuredPercent = 2;

    void restart() { started_ = false; }
    // A pause of `ms` that is no part of the phase's rate (a module busy with a reset or erase).
    void skip(qint64 ms) { startMs_ += ms; }
    // "about 40 s left" after `percent` at `nowMs`; empty while too little is measured.
    QString update(int percent, qint64 nowMs);

  private:
    bool started_ = false;
    qint64 startMs_ = 0;
    int startPercent_ = 0;
    int lastPercent_ = 0;
};

}  // namespace quorvel::forms
