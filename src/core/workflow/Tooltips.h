// The tooltip texts of the main window, and how long and how wide a tooltip is shown.
#pragma once

#include <string_view>

#include "core/workflow/MergeControl.h"

inline constexpr int tooltipDisplayMilliseconds = 20000;
inline constexpr int tooltipMaximumWidth = 300;  // pixels; longer texts wrap

[[nodiscard]] std::string_view tooltipText(MergeControl control);
