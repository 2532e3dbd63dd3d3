// Icon 128: the program's own 32 x 32 picture in 16 colours. The Windows icon file and the Qt
// window icon are both made from this table.
#pragma once

#include <array>
#include <cstdint>

namespace varnet::resources {

struct Rgb {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

struct AppIconPicture {
  static constexpr int kSize = 32;
  std::array<Rgb, 16> palette;  // the standard 16-colour palette
  // Palette index of each pixel, rows from the top, left to right.
  std::array<std::uint8_t, kSize * kSize> pixels;
  // Whether each pixel is transparent (the background around the picture).
  std::array<bool, kSize * kSize> transparent;
};

const AppIconPicture& AppIcon();

}  // namespace varnet::resources
