// The platform services on the real Win32 calls: COM ports and the vendor driver through
// kernel32, the Windows version and tick count, files in the machine's own drive c: through the
// C runtime, and the desktop shell. This header is free of <windows.h>; only the .cpp files of
// this folder include it.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "platform/failure_report.h"
#include "platform/platform.h"

namespace varnet::win32 {

// COM ports (overlapped) and the driver channel (synchronous device-control requests).
class Win32Serial : public SerialApi, public DriverApi {
 public:
  // Where the reasons behind failed calls go (GetLastError with its FormatMessage text); set
  // before the first call.
  void SetFailureReport(FailureReport report) { report_ = std::move(report); }

  Handle OpenPort(const std::string& path) override;
  bool ClosePort(Handle port) override;
  bool GetCommState(Handle port, Dcb& dcb) override;
  bool SetCommState(Handle port, const Dcb& dcb) override;
  bool GetCommTimeouts(Handle port, CommTimeouts& timeouts) override;
  bool SetCommTimeouts(Handle port, const CommTimeouts& timeouts) override;
  bool SetCommMask(Handle port, DWORD mask) override;
  bool EscapeCommFunction(Handle port, EscapeFunction function) override;
  Handle CreateEvent(bool manualReset, bool initialState) override;
  bool SetEvent(Handle event) override;
  bool CloseEvent(Handle event) override;
  bool WaitCommEvent(Handle port, DWORD* mask, Overlapped* overlapped) override;
  DWORD WaitForStopOrPortEvent(Handle stopEvent, Handle portEvent) override;
  DWORD WriteBlock(Handle port, std::span<const std::uint8_t> data, DWORD waitMs) override;
  DWORD ReadBlock(Handle port, std::span<std::uint8_t> buffer, DWORD waitMs) override;

  Handle OpenDriver(const std::string& path) override;
  bool CloseDriver(Handle driver) override;
  bool DeviceIoControl(Handle channel, DWORD code, const void* input, DWORD inputLength, void* output,
                       DWORD outputLength, DWORD* returned) override;

 private:
  // Says why a call failed, with the thread's last error, which it takes first; returns false.
  bool Fail(const char* action, Handle handle) const;
  bool Fail(const char* action, Handle handle, unsigned long error) const;
  bool FailNamed(const char* action, const std::string& name, unsigned long error) const;
  // A handle just opened by `path` (its name in later reports), or why it could not be.
  Handle Opened(Handle handle, const char* action, const std::string& path);
  bool Closed(Handle handle);

  FailureReport report_;
  mutable std::mutex mutex_;
  std::map<Handle, std::string> names_;  // the path each open handle was opened by
};

class Win32System : public SystemInfo, public Clock {
 public:
  DWORD GetVersion() override;
  DWORD GetTickCount() override;
};

// Files of the real drive c:, opened with the runtime's own modes ("rt" turns CR LF into LF).
class Win32Files : public Files {
 public:
  std::unique_ptr<File> Open(const std::string& path, const std::string& mode) override;
};

class Win32Shell : public Shell {
 public:
  void OpenDocument(const std::string& path) override;
};

// Every service of the machine, as the program's platform.
class Win32Platform {
 public:
  Win32Platform() : services_{serial_, serial_, system_, system_, files_, shell_} {}
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  const Platform& Services() const { return services_; }
  void SetFailureReport(FailureReport report) { serial_.SetFailureReport(std::move(report)); }

 private:
  Win32Serial serial_;
  Win32System system_;
  Win32Files files_;
  Win32Shell shell_;
  Platform services_;
};

}  // namespace varnet::win32
