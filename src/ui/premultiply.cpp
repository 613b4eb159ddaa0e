#include "ui/premultiply.h"

namespace kovral {

// Integer arithmetic, truncating: 200 at alpha 128 gives 100, alpha 255
// leaves a colour unchanged and alpha 0 clears it. Alpha itself stays.
void PremultiplyBgra(std::uint8_t* firstRow, int width, int height, std::ptrdiff_t pitch) {
  if (firstRow == nullptr || width <= 0 || height <= 0) return;
  for (int row = 0; row < height; ++row) {
    std::uint8_t* pixel = firstRow + row * pitch;
    for (int column = 0; column < width; ++column, pixel += 4) {
      const unsigned alpha = pixel[3];
      if (alpha == 255) continue;
      for (int channel = 0; channel < 3; ++channel) {
        pixel[channel] = static_cast<std::uint8_t>(pixel[channel] * alpha / 255u);
      }
    }
  }
}

}  // namespace kovral
