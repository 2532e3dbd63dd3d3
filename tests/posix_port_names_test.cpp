// The user's own port names: the file's lines, what a bad line gives, and the dialog opening a
// pseudo-terminal as COM3 because the file says so.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "host_headless/headless_host.h"
#include "platform_posix/posix_platform.h"
#include "platform_posix/user_port_map.h"
#include "script/script_runner.h"
#include "tests/posix_pty_pair.h"

namespace varnet::posix {
namespace {

TEST(PortNameFile, LinesNameDevicesAndBadLinesAreReportedWithTheirNumber) {
  const std::string text =
      "# the bench\n"
      "\n"
      "COM3 = /dev/serial/by-id/usb-Varnet_0042-if00-port0\n"
      "  com4=/dev/ttyS1  \r\n"
      "COM5 /dev/ttyS2\n"
      "COM0 = /dev/ttyS3\n"
      "COM16 = /dev/ttyS4\n"
      "COM05 = /dev/ttyS5\n"
      "LPT1 = /dev/lp0\n"
      "COM6 = ttyS6\n"
      "COM7 =\n"
      "COM3 = /dev/ttyS7\n"
      "\tCOM15 = /dev/ttyUSB9";
  const PortNameFile file = ParsePortNameFile(text, "ports");
  ASSERT_EQ(file.names.size(), 3u);
  EXPECT_EQ(file.names[0].number, 3);
  EXPECT_EQ(file.names[0].device, "/dev/serial/by-id/usb-Varnet_0042-if00-port0");
  EXPECT_EQ(file.names[0].line, 3);
  EXPECT_EQ(file.names[1].number, 4);
  EXPECT_EQ(file.names[1].device, "/dev/ttyS1");
  EXPECT_EQ(file.names[2].number, 15);
  EXPECT_EQ(file.names[2].line, 13);
  const std::vector<std::string> expected = {
      "ports:5: expected COMn = /dev/..., found \"COM5 /dev/ttyS2\"",
      "ports:6: \"COM0\" is not a COM name (COM1 to COM15)",
      "ports:7: COM16 is not offered by the dialog (COM1 to COM15)",
      "ports:8: \"COM05\" is not a COM name (COM1 to COM15)",
      "ports:9: \"LPT1\" is not a COM name (COM1 to COM15)",
      "ports:10: the device of COM6 must be an absolute path such as /dev/ttyS0",
      "ports:11: the device of COM7 must be an absolute path such as /dev/ttyS0",
      "ports:12: COM3 is named twice; the first line stands",
  };
  EXPECT_EQ(file.problems, expected);
}

class UserPortFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/varnet-config-XXXXXX";
    config_ = ::mkdtemp(pattern);
    std::filesystem::create_directories(config_ / "varnet-test");
    const char* old = std::getenv("XDG_CONFIG_HOME");
    if (old != nullptr) {
      oldConfig_ = old;
    }
    ::setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
  }
  void TearDown() override {
    if (oldConfig_) {
      ::setenv("XDG_CONFIG_HOME", oldConfig_->c_str(), 1);
    } else {
      ::unsetenv("XDG_CONFIG_HOME");
    }
    std::filesystem::remove_all(config_);
  }
  void Write(const std::string& text) { std::ofstream(config_ / "varnet-test" / "ports") << text; }

  std::filesystem::path config_;
  std::optional<std::string> oldConfig_;
};

TEST_F(UserPortFile, OverridesTheDefaultMapAndNamesFileAndLineOfABadLine) {
  Write("COM1 = /dev/ttyS0\nCOM2 /dev/ttyS1\n");
  EXPECT_EQ(UserPortNameFile(), config_ / "varnet-test" / "ports");
  std::ostringstream err;
  const UserPortMap ports = LoadUserPortMap(UserPortNameFile(), "varnet-test", err);
  EXPECT_TRUE(ports.fileRead);
  EXPECT_EQ(ports.map.DeviceFor("\\\\.\\COM1"), "/dev/ttyS0");
  EXPECT_EQ(ports.map.DeviceFor("\\\\.\\COM2"), "/dev/ttyUSB1");  // the bad line is ignored
  EXPECT_EQ(ports.map.DeviceFor("\\\\.\\COM9"), "/dev/ttyACM0");
  EXPECT_EQ(err.str(), "varnet-test: " + (config_ / "varnet-test" / "ports").string() +
                           ":2: expected COMn = /dev/..., found \"COM2 /dev/ttyS1\" (line ignored)\n");

  std::ostringstream printed;
  PrintPortMap(ports, printed);
  EXPECT_NE(printed.str().find("COM1  = /dev/ttyS0  ("), std::string::npos) << printed.str();
  EXPECT_NE(printed.str().find(", line 1)\n"), std::string::npos) << printed.str();
}

TEST_F(UserPortFile, NoFileIsTheDefaultMapInSilence) {
  std::ostringstream err;
  const UserPortMap ports = LoadUserPortMap(UserPortNameFile(), "varnet-test", err);
  EXPECT_FALSE(ports.fileRead);
  EXPECT_EQ(ports.map.DeviceFor("\\\\.\\COM3"), "/dev/ttyUSB2");
  EXPECT_EQ(err.str(), "");
}

// `bench system` on the machine's ports with the user's port names, as the runner sets it up.
class UserPortsPlatform : public script::ScriptPlatform {
 public:
  UserPortsPlatform(DriveCFolder& files, std::ostream& err)
      : posix_(MakePosixPlatform(
            {.driveC = &files, .devices = LoadUserPortMap(UserPortNameFile(), "test", err).map})) {}
  const Platform& Services() override { return posix_->Services(); }
  bench::BenchControl* Bench() override { return nullptr; }

 private:
  std::unique_ptr<PosixPlatform> posix_;
};

TEST_F(UserPortFile, TheDialogOpensAPseudoTerminalAsCom3) {
  testing::PtyPair pty;
  ASSERT_TRUE(pty.Ok());
  Write("# the pty stands for the adapter\nCOM3 = " + pty.SlavePath() + "\n");
  // Drive c: is made in the working folder.
  const std::filesystem::path workingFolder = std::filesystem::current_path();
  std::filesystem::current_path(config_);
  std::ostringstream out;
  std::ostringstream err;
  const int status = script::RunScriptText(
      "com3.bench", "bench system\nselect 1005 2\nclick 1003\nclick 1006\n", out, err,
      [](framework::CWinApp& app) { return std::make_unique<headless::HeadlessHost>(app); },
      [&err](const script::Script&, DriveCFolder& files,
             std::ostream&) -> std::unique_ptr<script::ScriptPlatform> {
        return std::make_unique<UserPortsPlatform>(files, err);
      });
  std::filesystem::current_path(workingFolder);
  EXPECT_EQ(status, 0) << err.str();
  EXPECT_NE(out.str().find("OPEN COM3 port Successfully!\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("Close COM port Successfully!\n"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace varnet::posix
