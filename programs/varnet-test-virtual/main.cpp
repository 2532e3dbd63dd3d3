// varnet-test-virtual: the dialog on Qt widgets, on the virtual bench, as a user runs it. Drive
// c: is a folder in the user's data directory; Open TXT shows the data file through xdg-open.
#include <QApplication>
#include <iostream>
#include <memory>

#include "app/test_app.h"
#include "desktop/user_drive_c.h"
#include "desktop/xdg_open_shell.h"
#include "host_qt/qt_host.h"
#include "platform/drive_c_folder.h"
#include "tools/script/script_platform.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);

  varnet::DriveCFolder driveC(varnet::desktop::UserDriveCFolder());
  varnet::desktop::XdgOpenShell shell(driveC);
  // The bench exactly as a script's "bench virtual" sets it up (NT family, the simulated adapter
  // on COM3), with the user's drive c: and desktop in place of the runner's.
  const varnet::script::Script benchSetup;
  std::unique_ptr<varnet::script::ScriptPlatform> bench =
      varnet::script::MakeScriptPlatform(benchSetup, driveC, std::cout);
  if (!bench) {
    std::cerr << "varnet-test-virtual: this build has no virtual bench\n";
    return 1;
  }
  const varnet::Platform& services = bench->Services();
  const varnet::Platform platform{services.serial, services.driver, services.system,
                                  services.clock,  driveC,          shell};

  CTestApp app;
  app.SetPlatform(&platform);
  varnet::qt::QtHost host(app);
  app.AttachRunner(&host);
  // InitInstance runs the dialog modally through the host and returns FALSE: the process ends
  // when the dialog closes.
  app.InitInstance();
  return 0;
}
