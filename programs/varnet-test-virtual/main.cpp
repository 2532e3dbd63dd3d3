// varnet-test-virtual: the dialog on Qt widgets, on the virtual bench, as a user runs it. Drive
// c: is a folder in the user's data directory; Open TXT shows the data file through xdg-open.
#include <QApplication>
#include <iostream>

#include "app/test_app.h"
#include "command_line/program_options.h"
#include "host_qt/qt_host.h"
#include "platform/drive_c_folder.h"
#include "platform_posix/posix_platform.h"
#include "platform_posix/system_services.h"
#include "platform_virtual/time_source.h"
#include "platform_virtual/virtual_bench.h"

int main(int argc, char** argv) {
  namespace cl = varnet::command_line;
  const cl::CommandLineSyntax syntax{
      .program = "varnet-test-virtual",
      .summary =
          "The Varnet Test Program dialog on the virtual bench: a simulated adapter on COM3 with a\n"
          "loop-back plug.",
      .passSingleDash = true,
      .epilogue = "Qt's own options (-platform NAME) are taken.",
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

  // The simulated adapter on COM3 on the real clock, the NT family, and the user's desktop.
  varnet::bench::SteadyTimeSource time;
  varnet::bench::VirtualBench bench(time);
  varnet::posix::NtFamilySystem system;
  varnet::DriveCFolder driveC(varnet::posix::DefaultDriveCFolder());
  varnet::posix::DesktopShell shell(driveC);
  const varnet::Platform platform{bench, bench, system, bench, driveC, shell};

  CTestApp app;
  app.SetPlatform(&platform);
  varnet::qt::QtHost host(app);
  app.AttachRunner(&host);
  // InitInstance runs the dialog modally through the host and returns FALSE: the process ends
  // when the dialog closes.
  app.InitInstance();
  return 0;
}
