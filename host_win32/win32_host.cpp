#include "host_win32/win32_host.h"

#include "host_win32/win32_dialog_host.h"
#include "platform_win32/windows_api.h"
// After windows.h, which it needs.
#include <commctrl.h>

namespace varnet::win32 {

int RunApplication(framework::CWinApp& app) {
  // The common control classes must be registered before the dialog's window is made.
  ::InitCommonControls();
  Win32DialogHost host(app, false);
  app.InitInstance();
  return 0;
}

std::unique_ptr<framework::ScriptHost> MakeScriptHost(framework::CWinApp& app) {
  ::InitCommonControls();
  return std::make_unique<Win32DialogHost>(app, true);
}

}  // namespace varnet::win32
