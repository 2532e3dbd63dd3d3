// The Linux layer says why a call on a port failed, in the system's own words and with a hint
// where the user can act: a missing device file, one with no device behind it, a port another
// program holds, one the user may not open, and an adapter pulled out.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <mutex>

#include "platform_posix/posix_serial.h"
#include "tests/posix_pty_pair.h"

namespace varnet::posix {
namespace {

using testing::PtyPair;

// A port layer whose COM3 is `device`, keeping every failure line it reports.
class ReportedSerial {
 public:
  explicit ReportedSerial(const std::string& device) : serial_(MapCom3(device)) {
    serial_.SetFailureReport([this](const std::string& line) {
      std::lock_guard lock(mutex_);
      lines_.push_back(line);
    });
  }
  PosixSerial& Serial() { return serial_; }
  std::vector<std::string> Lines() {
    std::lock_guard lock(mutex_);
    return lines_;
  }

 private:
  static ComDeviceMap MapCom3(const std::string& device) {
    ComDeviceMap::Paths paths;
    paths[2] = device;
    return ComDeviceMap(paths);
  }
  PosixSerial serial_;
  std::mutex mutex_;
  std::vector<std::string> lines_;
};

class Scratch {
 public:
  Scratch() {
    char pattern[] = "/tmp/varnet-failures-XXXXXX";
    dir_ = ::mkdtemp(pattern);
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

 private:
  std::string dir_;
};

// A socket's file opens with ENXIO, as a device node with no device behind it does.
std::string SocketFile(const Scratch& scratch) {
  const std::string path = scratch.Path("socket");
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, sizeof address.sun_path - 1);
  EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ::close(fd);
  return path;
}

std::string PlainFile(const Scratch& scratch) {
  const std::string path = scratch.Path("plain");
  std::ofstream(path) << "not a tty";
  return path;
}

TEST(PortFailureReasons, OpenSaysWhyInTheSystemsWordsWithAHint) {
  Scratch scratch;
  PtyPair pty;
  ASSERT_TRUE(pty.Ok());
  // Another program holds the pty: the second open through this layer meets the first's lock.
  ReportedSerial holder(pty.SlavePath());
  const Handle held = holder.Serial().OpenPort("\\\\.\\COM3");
  ASSERT_NE(held, kInvalidHandle);

  struct Case {
    const char* what;
    std::string device;
    const char* reason;
    const char* hint;
  } const cases[] = {
      {"missing device file", scratch.Path("ttyUSB9"), "No such file or directory", "--ports"},
      {"no device behind the file", SocketFile(scratch), "No such device or address", "no device answers"},
      {"port held", pty.SlavePath(), "Device or resource busy", "another program has"},
      {"not a tty", PlainFile(scratch), "Inappropriate ioctl for device", "not a serial port"},
  };
  for (const Case& c : cases) {
    ReportedSerial reported(c.device);
    EXPECT_EQ(reported.Serial().OpenPort("\\\\.\\COM3"), kInvalidHandle) << c.what;
    const std::vector<std::string> lines = reported.Lines();
    ASSERT_EQ(lines.size(), 2u) << c.what;
    EXPECT_EQ(lines[0], "open " + c.device + " (COM3): " + c.reason) << c.what;
    EXPECT_NE(lines[1].find(c.hint), std::string::npos) << c.what << ": " << lines[1];
  }
  EXPECT_TRUE(holder.Lines().empty());
  holder.Serial().ClosePort(held);
}

TEST(PortFailureReasons, ANameWithoutADeviceSaysSo) {
  ReportedSerial reported("/dev/null");
  EXPECT_EQ(reported.Serial().OpenPort("\\\\.\\COM16"), kInvalidHandle);
  ASSERT_EQ(reported.Lines().size(), 1u);
  EXPECT_EQ(reported.Lines()[0].rfind("open \\\\.\\COM16: no device file stands for this name", 0), 0u)
      << reported.Lines()[0];
}

// File modes do not stop root, who runs the tests here: a child gives up root first, then opens
// a port its new user has no permission for, and sends back the lines it was told.
TEST(PortFailureReasons, APortWithoutPermissionNamesTheGroupToJoin) {
  PtyPair pty;
  ASSERT_TRUE(pty.Ok());
  ASSERT_EQ(::chmod(pty.SlavePath().c_str(), 0660), 0);
  int pipe[2];
  ASSERT_EQ(::pipe(pipe), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(pipe[0]);
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
      ::_exit(3);
    }
    ReportedSerial reported(pty.SlavePath());
    const bool opened = reported.Serial().OpenPort("\\\\.\\COM3") != kInvalidHandle;
    std::string text;
    for (const std::string& line : reported.Lines()) {
      text += line + "\n";
    }
    const bool written = ::write(pipe[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::_exit(opened ? 4 : written ? 0 : 5);
  }
  ::close(pipe[1]);
  std::string text;
  char chunk[512];
  for (ssize_t got; (got = ::read(pipe[0], chunk, sizeof chunk)) > 0;) {
    text.append(chunk, static_cast<std::size_t>(got));
  }
  ::close(pipe[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << "3: cannot give up root, 4: opened anyway, 5: pipe";
  // The pty belongs to our own group (root's, or the tty group), which the child is not in.
  EXPECT_EQ(text.rfind("open " + pty.SlavePath() + " (COM3): Permission denied\nhint: " + pty.SlavePath() +
                           " belongs to group ",
                       0),
            0u)
      << text;
  EXPECT_NE(text.find("sudo usermod -aG "), std::string::npos) << text;
}

TEST(PortFailureReasons, AnUnpluggedAdapterSaysWhyOnceAndThenThatItHasGone) {
  PtyPair pty;
  ASSERT_TRUE(pty.Ok());
  ReportedSerial reported(pty.SlavePath());
  PosixSerial& serial = reported.Serial();
  const Handle port = serial.OpenPort("\\\\.\\COM3");
  ASSERT_NE(port, kInvalidHandle);
  ASSERT_TRUE(serial.SetCommTimeouts(port, CommTimeouts{0, 0, 3000, 0, 3000}));
  pty.CloseMaster();
  std::uint8_t buffer[4];
  EXPECT_EQ(serial.ReadBlock(port, buffer, 3000), 0u);
  Dcb dcb;
  EXPECT_FALSE(serial.GetCommState(port, dcb));
  const std::string name = pty.SlavePath() + " (COM3)";
  const std::vector<std::string> lines = reported.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "read from " + name + ": Input/output error");
  EXPECT_EQ(lines[1], "read the line settings of " + name + ": the device has gone away (unplugged?)");
  EXPECT_TRUE(serial.ClosePort(port));
}

}  // namespace
}  // namespace varnet::posix
