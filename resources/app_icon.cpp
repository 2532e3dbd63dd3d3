#include "resources/app_icon.h"

#include <string_view>

namespace varnet::resources {
namespace {

// An adapter plug with its cable and a green signal trace. One character a pixel, a hexadecimal
// palette index: 0 black, 7 light grey, 8 dark grey, 9 blue, A green, C red, E yellow, F white.
constexpr std::string_view kRows[AppIconPicture::kSize] = {
    "................................", "................................",
    "....88888888888888888888888.....", "...8FFFFFFFFFFFFFFFFFFFFFFFF8...",
    "...8F77777777777777777777778....", "...8F79999999999999999999978....",
    "...8F79FFFFFFFFFFFFFFFFFF978....", "...8F79F0000000000000000F978....",
    "...8F79F0AAAA000AAAA0000F978....", "...8F79F0A00A000A00A0000F978....",
    "...8F79F0A00AAAAA00AAAA0F978....", "...8F79F0000000000000000F978....",
    "...8F79FFFFFFFFFFFFFFFFFF978....", "...8F79999999999999999999978....",
    "...8F77777777777777777777778....", "...8F77C7E7777777777777777788...",
    "...88888888888888888888888888...", "..........8777777777778.........",
    "..........8700000000078.........", "..........8707E7E7E7078.........",
    "..........8700000000078.........", "..........8707E7E7E7078.........",
    "..........8700000000078.........", "..........8777777777778.........",
    "...........88888888888..........", "..............87778.............",
    "..............87778.............", "..............87778.............",
    "..............89998.............", "..............89998.............",
    "..............88888.............", "................................",
};

int Index(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;  // '.' is the background, black (masked off where icons have a mask)
}

AppIconPicture Make() {
  AppIconPicture picture{};
  picture.palette = {{{0, 0, 0},
                      {128, 0, 0},
                      {0, 128, 0},
                      {128, 128, 0},
                      {0, 0, 128},
                      {128, 0, 128},
                      {0, 128, 128},
                      {192, 192, 192},
                      {128, 128, 128},
                      {0, 0, 255},
                      {0, 255, 0},
                      {0, 255, 255},
                      {255, 0, 0},
                      {255, 0, 255},
                      {255, 255, 0},
                      {255, 255, 255}}};
  for (int y = 0; y < AppIconPicture::kSize; ++y) {
    for (int x = 0; x < AppIconPicture::kSize; ++x) {
      const std::string_view row = kRows[y];
      const char c = x < static_cast<int>(row.size()) ? row[static_cast<std::size_t>(x)] : '.';
      const auto at = static_cast<std::size_t>(y * AppIconPicture::kSize + x);
      picture.pixels[at] = static_cast<std::uint8_t>(Index(c));
      picture.transparent[at] = c == '.';
    }
  }
  return picture;
}

}  // namespace

const AppIconPicture& AppIcon() {
  static const AppIconPicture picture = Make();
  return picture;
}

}  // namespace varnet::resources
