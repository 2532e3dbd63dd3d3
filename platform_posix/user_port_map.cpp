#include "platform_posix/user_port_map.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <ostream>
#include <sstream>

namespace varnet::posix {
namespace {

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && blank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// What stands at a device path now: "ttyUSB1" through a link, "present", or why not.
std::string DeviceState(const std::string& device) {
  struct stat info {};
  if (::stat(device.c_str(), &info) != 0) {
    return std::strerror(errno);
  }
  if (!S_ISCHR(info.st_mode)) {
    return "present, but not a character device";
  }
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(device, error);
  if (!error && real != std::filesystem::path(device)) {
    return "present: " + real.string();
  }
  return "present";
}

}  // namespace

PortNameFile ParsePortNameFile(std::string_view text, const std::string& fileName) {
  PortNameFile file;
  std::vector<bool> named(ComDeviceMap::kPorts, false);
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view raw = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++lineNumber;
    const std::string_view line = Trimmed(raw);
    if (line.empty() || line.front() == '#') {
      continue;
    }
    const auto problem = [&](const std::string& message) {
      file.problems.push_back(fileName + ":" + std::to_string(lineNumber) + ": " + message);
    };
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      problem("expected COMn = /dev/..., found \"" + std::string(line) + "\"");
      continue;
    }
    const std::string_view name = Trimmed(line.substr(0, equals));
    const std::string_view device = Trimmed(line.substr(equals + 1));
    const std::optional<int> number = ComDeviceMap::NumberOfName(name);
    if (!number) {
      // Not "\"" + std::string(name): GCC 12 warns falsely (-Wrestrict) on a one-character literal
      // before a temporary string.
      problem(std::string(1, '"').append(name).append("\" is not a COM name (COM1 to COM15)"));
      continue;
    }
    if (*number < 1 || *number > ComDeviceMap::kPorts) {
      problem(std::string(name) + " is not offered by the dialog (COM1 to COM15)");
      continue;
    }
    if (device.empty() || device.front() != '/') {
      problem("the device of " + std::string(name) + " must be an absolute path such as /dev/ttyS0");
      continue;
    }
    if (named[*number - 1]) {
      problem("COM" + std::to_string(*number) + " is named twice; the first line stands");
      continue;
    }
    named[*number - 1] = true;
    file.names.push_back({*number, std::string(device), lineNumber});
  }
  return file;
}

std::filesystem::path UserPortNameFile() {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  std::filesystem::path config;
  // The XDG base directory rules ignore a relative XDG_CONFIG_HOME.
  if (configHome != nullptr && configHome[0] == '/') {
    config = configHome;
  } else if (home != nullptr && home[0] != '\0') {
    config = std::filesystem::path(home) / ".config";
  } else {
    return {};
  }
  return config / "varnet-test" / "ports";
}

UserPortMap LoadUserPortMap(const std::filesystem::path& file, std::string_view program, std::ostream& err) {
  UserPortMap ports;
  ports.file = file;
  if (file.empty()) {
    return ports;
  }
  // No file is the usual case; one that is there but cannot be read is worth a word.
  std::error_code missing;
  if (!std::filesystem::exists(file, missing)) {
    return ports;
  }
  errno = 0;
  std::ifstream stream(file, std::ios::binary);
  if (!stream) {
    err << program << ": " << file.string() << ": " << std::strerror(errno != 0 ? errno : EIO)
        << "; using the default port map\n";
    return ports;
  }
  std::ostringstream content;
  content << stream.rdbuf();
  ports.fileRead = true;
  PortNameFile parsed = ParsePortNameFile(content.str(), file.string());
  for (const std::string& problem : parsed.problems) {
    err << program << ": " << problem << " (line ignored)\n";
  }
  for (const PortNameLine& name : parsed.names) {
    ports.map.Set(name.number, name.device);
  }
  ports.names = std::move(parsed.names);
  return ports;
}

void PrintPortMap(const UserPortMap& ports, std::ostream& out) {
  if (ports.file.empty()) {
    out << "# the default port map (no configuration folder: neither XDG_CONFIG_HOME nor HOME is set)\n";
  } else if (!ports.fileRead) {
    out << "# the default port map; " << ports.file.string() << " does not exist\n";
  } else {
    out << "# the default port map with " << ports.file.string() << " over it\n";
  }
  for (int number = 1; number <= ComDeviceMap::kPorts; ++number) {
    const std::string& device = ports.map.Devices()[static_cast<std::size_t>(number - 1)];
    std::string from;
    for (const PortNameLine& name : ports.names) {
      if (name.number == number) {
        from = ", line " + std::to_string(name.line);
      }
    }
    const std::string name = "COM" + std::to_string(number);
    out << std::left << std::setw(5) << name << " = " << device << "  (" << DeviceState(device) << from
        << ")\n";
  }
}

}  // namespace varnet::posix
