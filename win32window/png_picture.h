// Pictures as PNG files' bytes, encoded by the system's imaging component
// (reached through COM, so the program imports no DLL of its own for it).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "core/result.h"

namespace sweepwav {

// The PNG of what paint draws onto a white picture of width by height
// pixels; the system's reason when it cannot be made.
Result<std::vector<std::uint8_t>> PaintedPng(int width, int height, const std::function<void(HDC, const RECT&)>& paint);

}  // namespace sweepwav
