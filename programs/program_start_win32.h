// The command line of the Windows dialog programs: --help and --version, shown on the console
// they were started from (or in a message box when there is none), and --log FILE or the
// environment variable VARNET_TEST_LOG, which name the file where the reasons behind failed calls
// go. Nothing else is taken.
#pragma once

#include <optional>
#include <string_view>

#include "platform/failure_report.h"

namespace varnet::win32 {

struct ProgramStart {
  std::optional<int> exitStatus;  // end at once with this status
  FailureReport failures;         // empty without a log file
};

ProgramStart StartProgram(std::string_view program, std::string_view summary);

}  // namespace varnet::win32
