// The platform services of the Linux programs: the machine's serial ports, the driver channel
// answered from sysfs, the NT family, the steady clock, drive c: as a folder and the desktop shell.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "platform/drive_c_folder.h"
#include "platform/failure_report.h"
#include "platform/platform.h"
#include "platform_posix/com_device_map.h"
#include "platform_posix/posix_serial.h"
#include "platform_posix/sysfs_driver.h"
#include "platform_posix/system_services.h"

namespace varnet::posix {

struct PosixPlatformOptions {
  // Drive c:; the user's own folder (DefaultDriveCFolder) when not given.
  DriveCFolder* driveC = nullptr;
  // The desktop shell; xdg-open on drive c:'s files when not given.
  Shell* shell = nullptr;
  // The Windows family; the NT family when not given.
  SystemInfo* system = nullptr;
  ComDeviceMap devices = ComDeviceMap::Default();
  std::filesystem::path sysfsRoot = "/sys";
  // Where the system's reasons behind failed calls go; nowhere when not given.
  FailureReport failures = {};
};

// Drive c: of a user: $XDG_DATA_HOME (or ~/.local/share) followed by varnet-test/drive_c.
std::filesystem::path DefaultDriveCFolder();

class PosixPlatform {
 public:
  explicit PosixPlatform(PosixPlatformOptions options);
  const Platform& Services() const { return services_; }
  PosixSerial& Serial() { return serial_; }

 private:
  std::optional<DriveCFolder> ownDriveC_;
  DriveCFolder& driveC_;
  PosixSerial serial_;
  SysfsDriver driver_;
  NtFamilySystem ntFamily_;
  SteadyTickClock clock_;
  std::optional<DesktopShell> ownShell_;
  Platform services_;
};

std::unique_ptr<PosixPlatform> MakePosixPlatform(PosixPlatformOptions options = {});

}  // namespace varnet::posix
