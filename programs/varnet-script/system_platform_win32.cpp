// bench system on Windows: this machine's ports, driver, Windows version and tick count; drive
// c: stays the script's folder and the desktop shell prints what it would open.
#include "platform_win32/win32_platform.h"
#include "programs/varnet-script/system_platform.h"

namespace varnet::programs {
namespace {

class Win32SystemPlatform : public script::ScriptPlatform {
 public:
  Win32SystemPlatform(DriveCFolder& files, std::ostream& out)
      : shell_(out), services_{serial_, serial_, system_, system_, files, shell_} {}

  const Platform& Services() override { return services_; }
  bench::BenchControl* Bench() override { return nullptr; }

 private:
  win32::Win32Serial serial_;
  win32::Win32System system_;
  script::PrintingShell shell_;
  Platform services_;
};

}  // namespace

std::unique_ptr<script::ScriptPlatform> MakeSystemPlatform(const script::Script& /*script*/,
                                                           DriveCFolder& files, std::ostream& out) {
  return std::make_unique<Win32SystemPlatform>(files, out);
}

}  // namespace varnet::programs
