#pragma once

// Bounds on time and memory hold for the plain build. The sanitizers' build
// runs slower and holds more: shadow memory, red zones around every block,
// and up to 256 MB of freed blocks kept in quarantine. A bound is scaled by
// these there.

namespace testing_support {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr double kTimeFactor = 3;
inline constexpr double kMemoryFactor = 1.25;
inline constexpr double kMemoryExtra = 320;  // MB
#else
inline constexpr double kTimeFactor = 1;
inline constexpr double kMemoryFactor = 1;
inline constexpr double kMemoryExtra = 0;
#endif

}  // namespace testing_support
