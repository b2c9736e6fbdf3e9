#pragma once

#include <string_view>

// Captions that the procedures read back as state: a two-state button keeps its state in its
// caption, so every handler compares against these same texts.
namespace caption {
inline constexpr std::string_view kPause = "Pause";  // Command20 while a run can be paused
inline constexpr std::string_view kResume = "Jalan"; // Command20 while paused; Command21 after Stop
inline constexpr std::string_view kStop = "Stop";    // Command21 while groups may be running
inline constexpr std::string_view kHideText = "Hilangkan Teks"; // Command18 while the text shows
inline constexpr std::string_view kShowText = "Lihat Teks";     // Command18 while it is hidden
} // namespace caption
