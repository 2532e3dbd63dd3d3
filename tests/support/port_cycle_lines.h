// What Open and Close list on the loop-back plug of the virtual bench, on the NT family, when
// the dialog idles between them.
#pragma once

#include <string>
#include <vector>

namespace varnet::testing {

inline const std::vector<std::string> kOpenLines = {
    "OPEN COM3 port Successfully!",
    "Disable any flow control successfully!",
    "SET port status Successfully!",
    "Open USB port successfully!",
    "SET DTR",
    "SET RTS",
    "DSR Changed!",
    "DCD Changed!",
    "CTS Changed!",
};

inline const std::vector<std::string> kCloseLines = {
    "CLEAR DTR", "CLEAR RTS", "DSR Changed!", "DCD Changed!", "Close COM port Successfully!",
};

}  // namespace varnet::testing
