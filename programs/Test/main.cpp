// Test.exe: the dialog on this machine's own COM ports and vendor driver.
#include "app/test_app.h"
#include "host_win32/win32_host.h"
#include "platform_win32/win32_platform.h"
#include "platform_win32/windows_api.h"

namespace {
CTestApp theApp;
}  // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
  varnet::win32::Win32Platform platform;
  theApp.SetPlatform(&platform.Services());
  return varnet::win32::RunApplication(theApp);
}
