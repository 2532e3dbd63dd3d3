// Where a program puts the platform's reasons behind failed calls: on a stream (standard error)
// after the program's name, or at the end of a log file with the time.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "platform/failure_report.h"

namespace varnet::command_line {

// "varnet-test: open /dev/ttyUSB0 (COM1): Permission denied"
FailureReport FailuresOn(std::ostream& stream, std::string program);

// "2026-12-11 17:02:13 Test.exe: open \\.\COM1: Access is denied. (error 5)", appended to the file
// and flushed line by line. Empty when the file cannot be opened for appending.
std::optional<FailureReport> FailuresToLog(const std::string& path, std::string program);

}  // namespace varnet::command_line
