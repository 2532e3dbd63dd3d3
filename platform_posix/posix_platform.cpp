#include "platform_posix/posix_platform.h"

#include <cstdlib>

namespace varnet::posix {
namespace {

DriveCFolder& ChooseDriveC(DriveCFolder* given, std::optional<DriveCFolder>& own) {
  if (given != nullptr) {
    return *given;
  }
  return own.emplace(DefaultDriveCFolder());
}

}  // namespace

std::filesystem::path DefaultDriveCFolder() {
  std::filesystem::path data;
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  // The XDG base directory rules ignore a relative XDG_DATA_HOME.
  if (dataHome != nullptr && dataHome[0] == '/') {
    data = dataHome;
  } else if (home != nullptr && home[0] != '\0') {
    data = std::filesystem::path(home) / ".local" / "share";
  } else {
    data = std::filesystem::current_path();
  }
  return data / "varnet-test" / "drive_c";
}

PosixPlatform::PosixPlatform(PosixPlatformOptions options)
    : driveC_(ChooseDriveC(options.driveC, ownDriveC_)),
      serial_(std::move(options.devices)),
      driver_([this](Handle port) { return serial_.TtyName(port); }, std::move(options.sysfsRoot)),
      services_{serial_, driver_, options.system != nullptr ? *options.system : ntFamily_,
                clock_,  driveC_, options.shell != nullptr ? *options.shell : ownShell_.emplace(driveC_)} {
  serial_.SetFailureReport(options.failures);
  driver_.SetFailureReport(std::move(options.failures));
}

std::unique_ptr<PosixPlatform> MakePosixPlatform(PosixPlatformOptions options) {
  return std::make_unique<PosixPlatform>(std::move(options));
}

}  // namespace varnet::posix
