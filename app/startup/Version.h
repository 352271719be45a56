#pragma once

// The program's version, shown on the splash window and in the about box.
namespace vx {
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 0;
} // namespace vx
