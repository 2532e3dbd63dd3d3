// Runs a bench script on the dialog: checks it whole, sets up drive c: and the bench, opens the
// dialog on a host, carries out each line and lets the dialog idle after it, and prints what
// the script asks for and, at the end, both lists.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "framework/win_app.h"
#include "tools/script/script.h"
#include "tools/script/script_host.h"

namespace varnet::script {

using HostFactory = std::function<std::unique_ptr<ScriptHost>(framework::CWinApp& app)>;

// The exit status: 0, or 2 after an error reported on `err`.
int RunScriptFile(const std::string& fileName, std::ostream& out, std::ostream& err,
                  const HostFactory& makeHost);

int RunScriptText(const std::string& fileName, const std::string& content, std::ostream& out,
                  std::ostream& err, const HostFactory& makeHost);

}  // namespace varnet::script
