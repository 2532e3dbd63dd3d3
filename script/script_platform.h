// The platform layer a script runs on: the virtual bench, or the machine's own ports and driver.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "platform/drive_c_folder.h"
#include "platform/platform.h"
#include "platform_virtual/bench_control.h"
#include "script/script.h"

namespace varnet::script {

class ScriptPlatform {
 public:
  virtual ~ScriptPlatform() = default;
  virtual const Platform& Services() = 0;
  // The bench operator's side; nullptr under bench system.
  virtual bench::BenchControl* Bench() = 0;
};

// The platform of `bench system`, which the program puts together for the machine it runs on.
// Drive c: is `files`; the desktop shell prints "shell open" lines on `out`.
using SystemPlatformFactory = std::function<std::unique_ptr<ScriptPlatform>(
    const Script& script, DriveCFolder& files, std::ostream& out)>;

// The virtual bench on the real clock, with drive c: `files` and the family the script asks for.
std::unique_ptr<ScriptPlatform> MakeVirtualPlatform(const Script& script, DriveCFolder& files,
                                                    std::ostream& out);

// GetVersion as the family the script asks for answers it.
class ScriptVersion : public SystemInfo {
 public:
  explicit ScriptVersion(const Script& script);
  DWORD GetVersion() override { return version_; }

 private:
  DWORD version_;
};

// The runner opens nothing on the desktop: it reports the request.
class PrintingShell : public Shell {
 public:
  explicit PrintingShell(std::ostream& out) : out_(out) {}
  void OpenDocument(const std::string& path) override;

 private:
  std::ostream& out_;
};

}  // namespace varnet::script
