// The Win32 host: the dialog on the real window of template 102. This header is free of
// <windows.h>, so that programs can choose the host without including it.
#pragma once

#include <iosfwd>
#include <memory>

#include "framework/win_app.h"
#include "tools/script/script_host.h"

namespace varnet::win32 {

// The program's entry: registers the common controls, makes the Win32 host the application's
// way of running dialogs, and runs the application's InitInstance. Returns the process's exit
// code.
int RunApplication(framework::CWinApp& app);

// The host for the script runner: the same real window, driven as a person would drive it.
std::unique_ptr<script::ScriptHost> MakeScriptHost(framework::CWinApp& app);

}  // namespace varnet::win32

namespace varnet::script {
class ScriptPlatform;
struct Script;
}  // namespace varnet::script

namespace varnet {
class DriveCFolder;
}  // namespace varnet

namespace varnet::win32 {

// `bench system` for the script runner: this machine's ports, driver, Windows version and tick
// count; drive c: stays the script's folder and the desktop shell prints what it would open.
std::unique_ptr<script::ScriptPlatform> MakeSystemScriptPlatform(const script::Script& script,
                                                                 DriveCFolder& files, std::ostream& out);

}  // namespace varnet::win32
