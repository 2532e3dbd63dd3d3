#include "tools/script/script_platform.h"

#include <iostream>

#include "platform_virtual/time_source.h"
#include "platform_virtual/virtual_bench.h"

#ifdef VARNET_HAVE_POSIX_PLATFORM
#include "platform_posix/posix_platform.h"
#include "platform_posix/user_port_map.h"
#endif

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

// The virtual bench on the real clock: its adapter, driver and tick count.
class VirtualPlatform : public ScriptPlatform {
 public:
  VirtualPlatform(const Script& script, DriveCFolder& files, std::ostream& out)
      : bench_(time_),
        version_(script.family == "nt" ? kNtVersion : k9xVersion),
        shell_(out),
        services_{bench_, bench_, version_, bench_, files, shell_} {}

  const Platform& Services() override { return services_; }
  bench::BenchControl* Bench() override { return &bench_; }

 private:
  bench::SteadyTimeSource time_;
  bench::VirtualBench bench_;
  FixedVersion version_;
  PrintingShell shell_;
  Platform services_;
};

SystemPlatformFactory& SystemFactory() {
  static SystemPlatformFactory factory;
  return factory;
}

FailureReport& SystemFailures() {
  static FailureReport report;
  return report;
}

#ifdef VARNET_HAVE_POSIX_PLATFORM
// bench system on Linux: the machine's own serial ports (with the user's own port names) and the
// driver channel from sysfs, with the runner's drive c:, its printing shell and the family the
// script asks for.
class SystemPlatform : public ScriptPlatform {
 public:
  SystemPlatform(const Script& script, DriveCFolder& files, std::ostream& out)
      : version_(script.family == "nt" ? kNtVersion : k9xVersion),
        shell_(out),
        posix_(posix::MakePosixPlatform(
            {.driveC = &files,
             .shell = &shell_,
             .system = &version_,
             .devices = posix::LoadUserPortMap(posix::UserPortNameFile(), "varnet-script", std::cerr).map,
             .failures = SystemFailures()})) {}

  const Platform& Services() override { return posix_->Services(); }
  bench::BenchControl* Bench() override { return nullptr; }

 private:
  FixedVersion version_;
  PrintingShell shell_;
  std::unique_ptr<posix::PosixPlatform> posix_;
};
#endif

}  // namespace

void SetSystemPlatformFactory(SystemPlatformFactory factory) { SystemFactory() = std::move(factory); }

void SetSystemFailureReport(FailureReport report) { SystemFailures() = std::move(report); }

const FailureReport& SystemFailureReport() { return SystemFailures(); }

std::unique_ptr<ScriptPlatform> MakeScriptPlatform(const Script& script, DriveCFolder& files,
                                                   std::ostream& out) {
  if (!script.virtualBench) {
    if (SystemFactory()) {
      return SystemFactory()(script, files, out);
    }
#ifdef VARNET_HAVE_POSIX_PLATFORM
    return std::make_unique<SystemPlatform>(script, files, out);
#else
    return nullptr;
#endif
  }
  return std::make_unique<VirtualPlatform>(script, files, out);
}

}  // namespace varnet::script
