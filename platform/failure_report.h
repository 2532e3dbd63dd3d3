// Where a platform layer says why a system call failed. The dialog shows only that an action
// failed, in its own fixed lines; the system's reason (errno and strerror, GetLastError and
// FormatMessage) goes here, one line each, such as
//   open /dev/ttyUSB0 (COM1): Permission denied
// for a program to put where its user will find it (standard error, a log file). Called from any
// thread, possibly several at once; an empty report is ignored.
#pragma once

#include <functional>
#include <string>

namespace varnet {

using FailureReport = std::function<void(const std::string& line)>;

}  // namespace varnet
