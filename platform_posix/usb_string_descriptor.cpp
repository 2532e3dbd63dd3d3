#include "platform_posix/usb_string_descriptor.h"

namespace varnet::posix {
namespace {

constexpr std::size_t kMaxUnits = 126;
constexpr char32_t kReplacement = 0xFFFD;

// The next code point of a UTF-8 text, moving `at` past it.
char32_t NextCodePoint(std::string_view text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) {
    return lead;
  }
  int more = 0;
  char32_t point = 0;
  char32_t least = 0;
  if ((lead & 0xE0) == 0xC0) {
    more = 1, point = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    more = 2, point = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    more = 3, point = lead & 0x07, least = 0x10000;
  } else {
    return kReplacement;
  }
  for (int i = 0; i < more; ++i) {
    if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) {
      return kReplacement;
    }
    point = (point << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
  }
  if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
    return kReplacement;
  }
  return point;
}

}  // namespace

std::vector<std::uint8_t> StringDescriptor(std::string_view utf8) {
  std::vector<std::uint16_t> units;
  std::size_t at = 0;
  while (at < utf8.size()) {
    const char32_t point = NextCodePoint(utf8, at);
    if (point >= 0x10000) {
      if (units.size() + 2 > kMaxUnits) {
        break;
      }
      const char32_t offset = point - 0x10000;
      units.push_back(static_cast<std::uint16_t>(0xD800 + (offset >> 10)));
      units.push_back(static_cast<std::uint16_t>(0xDC00 + (offset & 0x3FF)));
    } else {
      if (units.size() + 1 > kMaxUnits) {
        break;
      }
      units.push_back(static_cast<std::uint16_t>(point));
    }
  }
  std::vector<std::uint8_t> descriptor;
  descriptor.push_back(static_cast<std::uint8_t>(2 + 2 * units.size()));
  descriptor.push_back(3);
  for (std::uint16_t unit : units) {
    descriptor.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    descriptor.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return descriptor;
}

std::vector<std::uint8_t> LanguageDescriptor() { return {0x04, 0x03, 0x09, 0x04}; }

}  // namespace varnet::posix
