// The desktop shell on Linux: a document of drive c: opens in the user's chosen application
// through xdg-open, and the call returns at once, as ShellExecute does.
#pragma once

#include "platform/drive_c_folder.h"
#include "platform/system_api.h"

namespace varnet::desktop {

class XdgOpenShell final : public Shell {
 public:
  // Paths of drive c: ("c:\DATA.TXT") are found in `driveC`.
  explicit XdgOpenShell(const DriveCFolder& driveC) : driveC_(driveC) {}

  void OpenDocument(const std::string& path) override;

 private:
  const DriveCFolder& driveC_;
};

}  // namespace varnet::desktop
