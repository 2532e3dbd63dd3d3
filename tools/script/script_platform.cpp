#include "tools/script/script_platform.h"

#include <chrono>
#include <ostream>

namespace varnet::script {
namespace {

// GetVersion as Windows 7 answers it (NT family) and as Windows 98 does (9x family).
constexpr DWORD kNtVersion = 0x1DB10106u;
constexpr DWORD k9xVersion = 0xC0000A04u;

class FixedVersion : public SystemInfo {
 public:
  explicit FixedVersion(DWORD version) : version_(version) {}
  DWORD GetVersion() override { return version_; }

 private:
  DWORD version_;
};

// The runner opens nothing on the desktop: it reports the request.
class PrintingShell : public Shell {
 public:
  explicit PrintingShell(std::ostream& out) : out_(out) {}
  void OpenDocument(const std::string& path) override { out_ << "shell open \"" << path << "\"\n"; }

 private:
  std::ostream& out_;
};

class SteadyClock : public Clock {
 public:
  DWORD GetTickCount() override {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
  }
};

// No adapter at all: every open fails.
class NoAdapter : public SerialApi, public DriverApi {
 public:
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
};

class VirtualPlatform : public ScriptPlatform {
 public:
  VirtualPlatform(const Script& script, DriveCFolder& files, std::ostream& out)
      : version_(script.family == "nt" ? kNtVersion : k9xVersion), shell_(out), services_{adapter_, adapter_,
                                                                                          version_, clock_,
                                                                                          files,    shell_} {}

  const Platform& Services() override { return services_; }
  bench::BenchControl* Bench() override { return nullptr; }

 private:
  NoAdapter adapter_;
  FixedVersion version_;
  SteadyClock clock_;
  PrintingShell shell_;
  Platform services_;
};

SystemPlatformFactory& SystemFactory() {
  static SystemPlatformFactory factory;
  return factory;
}

}  // namespace

void SetSystemPlatformFactory(SystemPlatformFactory factory) { SystemFactory() = std::move(factory); }

std::unique_ptr<ScriptPlatform> MakeScriptPlatform(const Script& script, DriveCFolder& files,
                                                   std::ostream& out) {
  if (!script.virtualBench) {
    return SystemFactory() ? SystemFactory()(script, files, out) : nullptr;
  }
  return std::make_unique<VirtualPlatform>(script, files, out);
}

}  // namespace varnet::script
