// Response lines that several driver handlers give in the same words.
#pragma once

#include <string_view>

// Any request while the driver channel is closed.
inline constexpr std::string_view kNotOpened = "USB port is not opened.";
