// varnet-script [--host NAME] FILE: runs a bench script on the dialog.
#include <iostream>
#include <map>
#include <string>

#include "host_headless/headless_host.h"
#include "tools/script/script_runner.h"

namespace {

int Usage() {
  std::cerr << "usage: varnet-script [--host headless] FILE\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string hostName = "headless";
  std::string fileName;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--host" && i + 1 < argc) {
      hostName = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage();
    } else if (fileName.empty()) {
      fileName = arg;
    } else {
      return Usage();
    }
  }
  if (fileName.empty()) {
    return Usage();
  }
  std::map<std::string, varnet::script::HostFactory> hosts = {
      {"headless",
       [](varnet::framework::CWinApp& app) -> std::unique_ptr<varnet::script::ScriptHost> {
         return std::make_unique<varnet::headless::HeadlessHost>(app);
       }},
  };
  auto host = hosts.find(hostName);
  if (host == hosts.end()) {
    std::cerr << "varnet-script: no host named " << hostName << " in this build\n";
    return 2;
  }
  return varnet::script::RunScriptFile(fileName, std::cout, std::cerr, host->second);
}
