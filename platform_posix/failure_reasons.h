// The lines that say why a call on a tty failed: the system's own text for errno, and for the
// reasons a user can do something about, a hint on a line of its own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varnet::posix {

// "open /dev/ttyUSB0 (COM1): Permission denied", then any hint ("hint: ...").
// `subject` names the port as the user knows it, `device` is the file (for the hint about its
// group); `error` is an errno value.
std::vector<std::string> FailureLines(std::string_view action, std::string_view subject,
                                      const std::string& device, int error);

}  // namespace varnet::posix
