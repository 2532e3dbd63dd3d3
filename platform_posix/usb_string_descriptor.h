// USB string descriptors made from text.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace varnet::posix {

// bLength, type 3, then the text as UTF-16LE. The text is UTF-8 (as the kernel gives a device's
// strings); a malformed sequence becomes U+FFFD. Cut to the 126 UTF-16 units a one-byte bLength
// leaves room for, never inside a surrogate pair.
std::vector<std::uint8_t> StringDescriptor(std::string_view utf8);

// String descriptor 0: the one language the device's strings are given in, US English.
std::vector<std::uint8_t> LanguageDescriptor();

}  // namespace varnet::posix
