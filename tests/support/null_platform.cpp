#include "tests/support/null_platform.h"

namespace varnet::testing {

struct NullPlatform::Parts : SerialApi, DriverApi, SystemInfo, Clock, Files, Shell {
  explicit Parts(DWORD v) : version(v) {}
  Handle OpenPort(const std::string&) override { return kInvalidHandle; }
  bool ClosePort(Handle) override { return false; }
  bool GetCommState(Handle, Dcb&) override { return false; }
  bool SetCommState(Handle, const Dcb&) override { return false; }
  bool GetCommTimeouts(Handle, CommTimeouts&) override { return false; }
  bool SetCommTimeouts(Handle, const CommTimeouts&) override { return false; }
  bool SetCommMask(Handle, DWORD) override { return false; }
  bool EscapeCommFunction(Handle, EscapeFunction) override { return false; }
  Handle CreateEvent(bool, bool) override { return kInvalidHandle; }
  bool SetEvent(Handle) override { return false; }
  bool CloseEvent(Handle) override { return false; }
  bool WaitCommEvent(Handle, DWORD*, Overlapped*) override { return false; }
  DWORD WaitForStopOrPortEvent(Handle, Handle) override { return kWaitObject0; }
  DWORD WriteBlock(Handle, std::span<const std::uint8_t>, DWORD) override { return 0; }
  DWORD ReadBlock(Handle, std::span<std::uint8_t>, DWORD) override { return 0; }
  Handle OpenDriver(const std::string&) override { return kInvalidHandle; }
  bool CloseDriver(Handle) override { return false; }
  bool DeviceIoControl(Handle, DWORD, const void*, DWORD, void*, DWORD, DWORD*) override { return false; }
  DWORD GetVersion() override { return version; }
  DWORD GetTickCount() override { return ++ticks; }
  std::unique_ptr<File> Open(const std::string&, const std::string&) override { return nullptr; }
  void OpenDocument(const std::string&) override {}

  DWORD version;
  DWORD ticks = 0;
};

NullPlatform::NullPlatform(DWORD version)
    : parts(std::make_unique<Parts>(version)), services{*parts, *parts, *parts, *parts, *parts, *parts} {}

NullPlatform::~NullPlatform() = default;

}  // namespace varnet::testing
