// TestVirtual.exe: the same dialog on the virtual bench (a simulated adapter on COM3, with a
// loop-back plug), with this machine's Windows version, drive c: and desktop shell around it.
#include "app/test_app.h"
#include "host_win32/win32_host.h"
#include "platform_virtual/time_source.h"
#include "platform_virtual/virtual_bench.h"
#include "platform_win32/win32_platform.h"
#include "platform_win32/windows_api.h"

namespace {
CTestApp theApp;
}  // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
  varnet::bench::SteadyTimeSource time;
  varnet::bench::VirtualBench bench(time);
  varnet::win32::Win32System system;
  varnet::win32::Win32Files files;
  varnet::win32::Win32Shell shell;
  const varnet::Platform services{bench, bench, system, bench, files, shell};
  theApp.SetPlatform(&services);
  return varnet::win32::RunApplication(theApp);
}
