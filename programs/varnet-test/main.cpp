// varnet-test: the dialog on Qt widgets, on the machine's own serial ports (COM1 to COM15 map to
// USB serial device files, see platform_posix/com_device_map.h, unless the user's own file names
// others) with descriptors from sysfs. Why a call on a port failed is said on standard error.
// Drive c: is a folder in the user's data directory; Open TXT shows the data file through
// xdg-open.
#include <QApplication>
#include <iostream>

#include "app/test_app.h"
#include "command_line/failure_output.h"
#include "command_line/program_options.h"
#include "host_qt/qt_host.h"
#include "platform_posix/posix_platform.h"
#include "platform_posix/user_port_map.h"

int main(int argc, char** argv) {
  namespace cl = varnet::command_line;
  const cl::CommandLineSyntax syntax{
      .program = "varnet-test",
      .summary = "The Varnet Test Program dialog on this machine's own serial ports.",
      .passSingleDash = true,
      .epilogue =
          "COM names are chosen in ~/.config/varnet-test/ports (`varnet-script --ports` shows the map).\n"
          "Why a call on a port failed is said on standard error. Qt's own options (-platform NAME) are "
          "taken.",
  };
  const cl::ParsedCommandLine command =
      cl::ParseCommandLine(syntax, std::span(argv, static_cast<std::size_t>(argc)), std::cout, std::cerr);
  if (command.exitStatus) {
    return *command.exitStatus;
  }
  QApplication application(argc, argv);
  if (argc > 1) {
    return cl::UsageError(syntax, std::string("unknown option '") + argv[1] + "'", std::cerr);
  }

  const std::unique_ptr<varnet::posix::PosixPlatform> posix = varnet::posix::MakePosixPlatform(
      {.devices =
           varnet::posix::LoadUserPortMap(varnet::posix::UserPortNameFile(), syntax.program, std::cerr).map,
       .failures = cl::FailuresOn(std::cerr, std::string(syntax.program))});

  CTestApp app;
  app.SetPlatform(&posix->Services());
  varnet::qt::QtHost host(app);
  app.AttachRunner(&host);
  // InitInstance runs the dialog modally through the host and returns FALSE: the process ends
  // when the dialog closes.
  app.InitInstance();
  return 0;
}
