// The small services of the system around the dialog: the Windows version, the millisecond tick
// count, files in drive c: and the desktop shell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/win_types.h"

namespace varnet {

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // GetVersion(): the top bit is clear on the NT family and set on the 9x family.
  virtual DWORD GetVersion() = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // GetTickCount(): milliseconds since some start, wrapping at 2^32.
  virtual DWORD GetTickCount() = 0;
};

// An open stream on a file, as the C runtime's FILE. Closed when destroyed.
class File {
 public:
  virtual ~File() = default;
  // fgets: at most maxChars - 1 characters, up to and including a line feed, as the C string
  // they make: the text ends at a NUL. In text mode, as the Windows runtime reads it, a CR LF
  // pair reads as LF and Ctrl-Z ends the file. Empty when nothing could be read (end of file or
  // an error).
  virtual std::optional<std::string> Gets(std::size_t maxChars) = 0;
  // fwrite of the bytes; returns how many were written.
  virtual std::size_t Write(std::span<const std::uint8_t> bytes) = 0;
};

// Files named by Windows paths in drive c: ("c:\DATA.TXT"). Names match without regard to case,
// as on Windows, wherever drive c: really is.
class Files {
 public:
  virtual ~Files() = default;
  // fopen with the modes the program uses: "rt", "wt", "ab". nullptr when it cannot be opened.
  virtual std::unique_ptr<File> Open(const std::string& path, const std::string& mode) = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOWNORMAL): returns at once.
  virtual void OpenDocument(const std::string& path) = 0;
};

}  // namespace varnet
