// printf-style formatting into a std::string, for the program's fixed line formats
// ("WRITE %ld bytes Successfully!", "%s: 0x%02X" ...). Never truncates.
#pragma once

#include <string>

#if defined(__GNUC__)
#define VARNET_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define VARNET_PRINTF_FORMAT(fmt, args)
#endif

namespace varnet::runtime {

std::string Format(const char* format, ...) VARNET_PRINTF_FORMAT(1, 2);

}  // namespace varnet::runtime
