#include "script/script_platform.h"

#include <ostream>

#include "platform_virtual/time_source.h"
#include "platform_virtual/virtual_bench.h"

namespace varnet::script {
namespace {

// GetVersion as Windows 7 answers it (NT family) and as Windows 98 does (9x family).
constexpr DWORD kNtVersion = 0x1DB10106u;
constexpr DWORD k9xVersion = 0xC0000A04u;

// The virtual bench on the real clock: its adapter, driver and tick count.
class VirtualPlatform : public ScriptPlatform {
 public:
  VirtualPlatform(const Script& script, DriveCFolder& files, std::ostream& out)
      : bench_(time_), version_(script), shell_(out), services_{bench_, bench_, version_,
                                                                bench_, files,  shell_} {}

  const Platform& Services() override { return services_; }
  bench::BenchControl* Bench() override { return &bench_; }

 private:
  bench::SteadyTimeSource time_;
  bench::VirtualBench bench_;
  ScriptVersion version_;
  PrintingShell shell_;
  Platform services_;
};

}  // namespace

ScriptVersion::ScriptVersion(const Script& script)
    : version_(script.family == "nt" ? kNtVersion : k9xVersion) {}

void PrintingShell::OpenDocument(const std::string& path) { out_ << "shell open \"" << path << "\"\n"; }

std::unique_ptr<ScriptPlatform> MakeVirtualPlatform(const Script& script, DriveCFolder& files,
                                                    std::ostream& out) {
  return std::make_unique<VirtualPlatform>(script, files, out);
}

}  // namespace varnet::script
