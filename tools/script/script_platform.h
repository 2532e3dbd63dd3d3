// The platform layer a script runs on: the virtual bench, or the machine's own ports and driver.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>

#include "platform/drive_c_folder.h"
#include "platform/failure_report.h"
#include "platform/platform.h"
#include "platform_virtual/bench_control.h"
#include "tools/script/script.h"

namespace varnet::script {

class ScriptPlatform {
 public:
  virtual ~ScriptPlatform() = default;
  virtual const Platform& Services() = 0;
  // The bench operator's side; nullptr under bench system.
  virtual bench::BenchControl* Bench() = 0;
};

// The platform of `bench system`, given by a build that has one for the machine it runs on.
using SystemPlatformFactory = std::function<std::unique_ptr<ScriptPlatform>(
    const Script& script, DriveCFolder& files, std::ostream& out)>;
void SetSystemPlatformFactory(SystemPlatformFactory factory);

// Where the platform of `bench system` says why a call on the machine's own ports or driver
// failed; nowhere until set.
void SetSystemFailureReport(FailureReport report);
const FailureReport& SystemFailureReport();

// Drive c: is `files`; the desktop shell prints "shell open" lines on `out`. Returns nullptr
// when the platform the script asks for is not part of this build.
std::unique_ptr<ScriptPlatform> MakeScriptPlatform(const Script& script, DriveCFolder& files,
                                                   std::ostream& out);

}  // namespace varnet::script
