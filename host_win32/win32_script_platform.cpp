#include <ostream>

#include "host_win32/win32_host.h"
#include "platform_win32/win32_platform.h"
#include "tools/script/script_platform.h"

namespace varnet::win32 {
namespace {

class PrintingShell : public Shell {
 public:
  explicit PrintingShell(std::ostream& out) : out_(out) {}
  void OpenDocument(const std::string& path) override { out_ << "shell open \"" << path << "\"\n"; }

 private:
  std::ostream& out_;
};

class SystemScriptPlatform : public script::ScriptPlatform {
 public:
  SystemScriptPlatform(DriveCFolder& files, std::ostream& out)
      : shell_(out), services_{serial_, serial_, system_, system_, files, shell_} {
    serial_.SetFailureReport(script::SystemFailureReport());
  }

  const Platform& Services() override { return services_; }
  bench::BenchControl* Bench() override { return nullptr; }

 private:
  Win32Serial serial_;
  Win32System system_;
  PrintingShell shell_;
  Platform services_;
};

}  // namespace

std::unique_ptr<script::ScriptPlatform> MakeSystemScriptPlatform(const script::Script& /*script*/,
                                                                 DriveCFolder& files, std::ostream& out) {
  return std::make_unique<SystemScriptPlatform>(files, out);
}

}  // namespace varnet::win32
