#include "programs/program_start_win32.h"

#include <cstdlib>
#include <span>
#include <sstream>

#include "command_line/failure_output.h"
#include "command_line/program_options.h"
#include "platform_win32/windows_api.h"

namespace varnet::win32 {
namespace {

constexpr const char* kLogVariable = "VARNET_TEST_LOG";

// A GUI program has no standard handles of its own unless its starter gave them (a redirect, or
// Wine run from a terminal); from a console it can borrow its parent's. Failing both, the text
// goes in a message box.
void Show(const std::string& text, bool error) {
  HANDLE handle = ::GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  bool attached = false;
  if ((handle == nullptr || handle == INVALID_HANDLE_VALUE) && ::AttachConsole(ATTACH_PARENT_PROCESS)) {
    attached = true;
    handle = ::CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  }
  DWORD written = 0;
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE &&
      ::WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
    if (attached) {
      ::CloseHandle(handle);
    }
    return;
  }
  ::MessageBoxA(nullptr, text.c_str(), "Varnet Test Program", error ? MB_ICONERROR : MB_ICONINFORMATION);
}

}  // namespace

ProgramStart StartProgram(std::string_view program, std::string_view summary) {
  namespace cl = command_line;
  const cl::CommandLineSyntax syntax{
      .program = program,
      .summary = summary,
      .options = {{"--log", "FILE", "append the reason behind each failed call to FILE"}},
      .epilogue = "The environment variable VARNET_TEST_LOG names a log file too; --log wins.",
  };
  std::ostringstream out;
  std::ostringstream err;
  const cl::ParsedCommandLine command =
      cl::ParseCommandLine(syntax, std::span(__argv, static_cast<std::size_t>(__argc)), out, err);
  ProgramStart start;
  start.exitStatus = command.exitStatus;
  std::string logFile;
  if (const char* variable = std::getenv(kLogVariable); variable != nullptr) {
    logFile = variable;
  }
  if (const auto option = command.values.find("--log"); option != command.values.end()) {
    logFile = option->second;
  }
  if (!start.exitStatus && !logFile.empty()) {
    if (std::optional<FailureReport> log = cl::FailuresToLog(logFile, std::string(program))) {
      start.failures = std::move(*log);
    } else {
      start.exitStatus = cl::UsageError(syntax, "cannot open the log file " + logFile, err);
    }
  }
  if (!out.str().empty()) {
    Show(out.str(), false);
  }
  if (!err.str().empty()) {
    Show(err.str(), true);
  }
  return start;
}

}  // namespace varnet::win32
