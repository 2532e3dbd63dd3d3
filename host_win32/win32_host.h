// The Win32 host: the dialog on the real window of template 102. This header is free of
// <windows.h>, so that programs can choose the host without including it.
#pragma once

#include <memory>

#include "framework/script_host.h"
#include "framework/win_app.h"

namespace varnet::win32 {

// The program's entry: registers the common controls, makes the Win32 host the application's
// way of running dialogs, and runs the application's InitInstance. Returns the process's exit
// code.
int RunApplication(framework::CWinApp& app);

// The host for the script runner: the same real window, driven as a person would drive it.
std::unique_ptr<framework::ScriptHost> MakeScriptHost(framework::CWinApp& app);

}  // namespace varnet::win32
