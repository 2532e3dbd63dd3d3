// The user's own port names. A small file, $XDG_CONFIG_HOME/varnet-test/ports (or
// ~/.config/varnet-test/ports), puts any device file behind any of the dialog's COM names, one
// line each:
//
//   # the adapter on the bench, whatever ttyUSB number it gets
//   COM3 = /dev/serial/by-id/usb-Varnet_Adapter_0042-if00-port0
//   COM4 = /dev/ttyS1
//
// Names not in the file keep the default map (com_device_map.h). Blank lines and lines beginning
// with # are skipped; a line that is not understood is reported, naming file and line, and
// ignored.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "platform_posix/com_device_map.h"

namespace varnet::posix {

struct PortNameLine {
  int number = 0;  // COMn
  std::string device;
  int line = 0;
};

struct PortNameFile {
  std::vector<PortNameLine> names;
  std::vector<std::string> problems;  // "FILE:LINE: what is wrong"
};

PortNameFile ParsePortNameFile(std::string_view text, const std::string& fileName);

// Where the user's file is, from the environment: an absolute $XDG_CONFIG_HOME, else $HOME/.config.
// Empty when neither says.
std::filesystem::path UserPortNameFile();

struct UserPortMap {
  ComDeviceMap map = ComDeviceMap::Default();
  std::filesystem::path file;  // the file looked for
  bool fileRead = false;
  std::vector<PortNameLine> names;  // the names the file set
};

// The default map with the user's file over it. Each problem goes to `err` as one line beginning
// with `program`: "varnet-test: /home/ann/.config/varnet-test/ports:3: ...".
UserPortMap LoadUserPortMap(const std::filesystem::path& file, std::string_view program, std::ostream& err);

// The map in effect, one COM name a line, with whether each device file exists now.
void PrintPortMap(const UserPortMap& ports, std::ostream& out);

}  // namespace varnet::posix
