#pragma once
// What the drivers ask before they download to a device the scan did not detect, and what they
// say when the operator declines.
#include <QString>

namespace quorvel {

inline const QString kUndetectedDeviceQuestion =
    "You have selected an undetected device!\rPlease be careful!\rAre you sure to continue?";
inline const QString kUndetectedStopped =
    "You have stopped download of an undetected channel.\rPlease do a new selection.";

}  // namespace quorvel
