// bench system on Linux: the machine's own serial ports and the driver channel from sysfs, with
// the runner's drive c:, its printing shell and the family the script asks for.
#include "platform_posix/posix_platform.h"
#include "programs/varnet-script/system_platform.h"

namespace varnet::programs {
namespace {

class PosixSystemPlatform : public script::ScriptPlatform {
 public:
  PosixSystemPlatform(const script::Script& script, DriveCFolder& files, std::ostream& out)
      : version_(script),
        shell_(out),
        posix_(posix::MakePosixPlatform({.driveC = &files, .shell = &shell_, .system = &version_})) {}

  const Platform& Services() override { return posix_->Services(); }
  bench::BenchControl* Bench() override { return nullptr; }

 private:
  script::ScriptVersion version_;
  script::PrintingShell shell_;
  std::unique_ptr<posix::PosixPlatform> posix_;
};

}  // namespace

std::unique_ptr<script::ScriptPlatform> MakeSystemPlatform(const script::Script& script, DriveCFolder& files,
                                                           std::ostream& out) {
  return std::make_unique<PosixSystemPlatform>(script, files, out);
}

}  // namespace varnet::programs
