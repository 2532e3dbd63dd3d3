// Runs a bench script on the dialog: checks it whole, sets up drive c: and the bench, opens the
// dialog on a host, carries out each line and lets the dialog idle after it, and prints what
// the script asks for and, at the end, both lists.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "framework/script_host.h"
#include "framework/win_app.h"
#include "script/script.h"
#include "script/script_platform.h"

namespace varnet::script {

using HostFactory = std::function<std::unique_ptr<framework::ScriptHost>(framework::CWinApp& app)>;

// The exit status: 0, or 2 after an error reported on `err`. A script on `bench system` needs
// `makeSystemPlatform`; without one it is an error.
int RunScriptFile(const std::string& fileName, std::ostream& out, std::ostream& err,
                  const HostFactory& makeHost, const SystemPlatformFactory& makeSystemPlatform = {});

int RunScriptText(const std::string& fileName, const std::string& content, std::ostream& out,
                  std::ostream& err, const HostFactory& makeHost,
                  const SystemPlatformFactory& makeSystemPlatform = {});

}  // namespace varnet::script
