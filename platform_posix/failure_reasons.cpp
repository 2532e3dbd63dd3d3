#include "platform_posix/failure_reasons.h"

#include <grp.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace varnet::posix {
namespace {

// The group that owns a device file ("dialout" for serial ports on Debian and most others).
std::string GroupOf(const std::string& device) {
  struct stat info {};
  if (device.empty() || ::stat(device.c_str(), &info) != 0) {
    return "dialout";
  }
  group entry{};
  group* found = nullptr;
  char buffer[1024];
  if (::getgrgid_r(info.st_gid, &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr) {
    return std::to_string(info.st_gid);
  }
  return found->gr_name;
}

}  // namespace

std::vector<std::string> FailureLines(std::string_view action, std::string_view subject,
                                      const std::string& device, int error) {
  std::vector<std::string> lines;
  std::string reason = std::strerror(error);
  if (error == ENOTTY && action != "open") {
    // A driver without the call: a pseudo-terminal has no modem lines and no line counters.
    reason = "the device's driver does not do this (" + reason + ")";
  }
  lines.push_back(std::string(action) + " " + std::string(subject) + ": " + reason);
  switch (error) {
    case EACCES:
    case EPERM: {
      const std::string group = GroupOf(device);
      lines.push_back("hint: " + device + " belongs to group " + group +
                      "; to use it, add yourself to that group (sudo usermod -aG " + group +
                      " $USER) and log in again");
      break;
    }
    case EBUSY:
      lines.push_back("hint: another program has " + device + " open; close it there and try again");
      break;
    case ENOENT:
      lines.push_back(
          "hint: no such device file: is the adapter plugged in? `varnet-script --ports` shows which "
          "file each COM name opens, and the README says how to choose another");
      break;
    case ENXIO:
    case ENODEV:
      lines.push_back("hint: no device answers behind " + device +
                      ": the adapter was unplugged or its driver is not loaded");
      break;
    case ENOTTY:
      if (action != "open") {
        break;
      }
      lines.push_back("hint: " + device + " is not a serial port (a tty)");
      break;
    default:
      break;
  }
  return lines;
}

}  // namespace varnet::posix
