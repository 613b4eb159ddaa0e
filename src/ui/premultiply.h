#pragma once
// Turns straight-alpha BGRA pixels into the premultiplied form that
// per-pixel alpha blending expects.
#include <cstddef>
#include <cstdint>

namespace kovral {

// Pixels are 4 bytes, blue, green, red, alpha; row r starts at
// firstRow + r * pitch (pitch may be negative for bottom-up bitmaps).
void PremultiplyBgra(std::uint8_t* firstRow, int width, int height, std::ptrdiff_t pitch);

}  // namespace kovral
