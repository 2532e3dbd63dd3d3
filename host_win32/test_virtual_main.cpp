// TestVirtual.exe: the same dialog on the virtual bench (a simulated adapter on COM3), with
// this machine's Windows version, drive c: and desktop shell around it.
#include <iostream>

#include "app/test_app.h"
#include "host_win32/win32_host.h"
#include "platform/drive_c_folder.h"
#include "platform_win32/win32_platform.h"
#include "platform_win32/windows_api.h"
#include "tools/script/script_platform.h"

namespace {
CTestApp theApp;
}  // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
  varnet::script::Script benchSetup;  // the virtual bench as it starts
  varnet::DriveCFolder benchFiles("C:\\");
  const std::unique_ptr<varnet::script::ScriptPlatform> bench =
      varnet::script::MakeScriptPlatform(benchSetup, benchFiles, std::cout);
  if (!bench) {
    return 1;
  }
  varnet::win32::Win32System system;
  varnet::win32::Win32Files files;
  varnet::win32::Win32Shell shell;
  const varnet::Platform& simulated = bench->Services();
  const varnet::Platform services{simulated.serial, simulated.driver, system, simulated.clock, files, shell};
  theApp.SetPlatform(&services);
  return varnet::win32::RunApplication(theApp);
}
