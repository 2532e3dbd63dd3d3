// varnet-script [--host NAME] FILE: runs a bench script on the dialog. The Windows build runs
// it on the real Win32 dialog by default and writes its output in binary mode (lines end in LF
// alone, as on every other system).
#include <iostream>
#include <map>
#include <string>

#include "host_headless/headless_host.h"
#include "programs/varnet-script/system_platform.h"
#include "script/script_runner.h"

#ifdef VARNET_WITH_WIN32_HOST
#include <fcntl.h>
#include <io.h>
#include <stdio.h>

#include "host_win32/win32_host.h"
#endif
#ifdef VARNET_WITH_QT
#include <QApplication>
#include <QtGlobal>
#include <memory>

#include "host_qt/qt_host.h"
#endif

namespace {

int Usage() {
#if defined(VARNET_WITH_WIN32_HOST)
  std::cerr << "usage: varnet-script [--host win32|headless] FILE\n";
#else
  std::cerr << "usage: varnet-script [--host headless|qt] FILE\n";
#endif
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef VARNET_WITH_WIN32_HOST
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::string hostName = "win32";
#else
  std::string hostName = "headless";
#endif
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
       [](varnet::framework::CWinApp& app) -> std::unique_ptr<varnet::framework::ScriptHost> {
         return std::make_unique<varnet::headless::HeadlessHost>(app);
       }},
#ifdef VARNET_WITH_WIN32_HOST
      {"win32", &varnet::win32::MakeScriptHost},
#endif
#ifdef VARNET_WITH_QT
      {"qt",
       [](varnet::framework::CWinApp& app) -> std::unique_ptr<varnet::framework::ScriptHost> {
         return std::make_unique<varnet::qt::QtHost>(app);
       }},
#endif
  };
  auto host = hosts.find(hostName);
  if (host == hosts.end()) {
    std::cerr << "varnet-script: no host named " << hostName << " in this build\n";
    return 2;
  }
#ifdef VARNET_WITH_QT
  // The Qt host's widgets need the application object; it goes before main returns, ahead of
  // the Qt globals it made.
  int qtArgc = 1;
  std::unique_ptr<QApplication> qtApplication;
  if (hostName == "qt") {
    // Standard error carries the script's own errors only, as with the headless host: Qt's
    // notes about the session (no runtime folder, an offscreen window that cannot be raised)
    // stay out of it; its critical messages do not.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
      if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << message.toStdString() << '\n';
      }
    });
    qtApplication = std::make_unique<QApplication>(qtArgc, argv);
  }
#endif
  return varnet::script::RunScriptFile(fileName, std::cout, std::cerr, host->second,
                                       &varnet::programs::MakeSystemPlatform);
}
