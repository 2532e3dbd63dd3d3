// varnet-script [--host NAME] FILE: runs a bench script on the dialog ("-" reads it from standard
// input). The Windows build runs it on the real Win32 dialog by default and writes its output in
// binary mode (lines end in LF alone, as on every other system).
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

#include "command_line/failure_output.h"
#include "command_line/program_options.h"
#include "host_headless/headless_host.h"
#include "programs/varnet-script/system_platform.h"
#include "script/script_runner.h"

#ifdef __linux__
#include "platform_posix/user_port_map.h"
#endif

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

namespace cl = varnet::command_line;

cl::CommandLineSyntax Syntax() {
  cl::CommandLineSyntax syntax{
      .program = "varnet-script",
      .arguments = "FILE",
      .summary =
          "Runs a bench script (FILE, or - for standard input) on the dialog and prints what it asks for.",
      .options = {},
      .minArguments = 0,
      .maxArguments = 1,
  };
#if defined(VARNET_WITH_WIN32_HOST)
  syntax.options.push_back({"--host", "NAME", "the dialog's host: win32 (the default) or headless"});
#elif defined(VARNET_WITH_QT)
  syntax.options.push_back({"--host", "NAME", "the dialog's host: headless (the default) or qt"});
#else
  syntax.options.push_back({"--host", "NAME", "the dialog's host: headless"});
#endif
#ifdef __linux__
  syntax.options.push_back({"--ports", "", "print the COM names' device files in effect, and exit"});
  syntax.epilogue =
      "Under `bench system` the script runs on this machine's own ports; why a call on them failed is\n"
      "said on standard error. COM names are chosen in ~/.config/varnet-test/ports (see --ports).\n";
#else
  syntax.epilogue =
      "Under `bench system` the script runs on this machine's own ports; why a call on them\n"
      "failed is said on standard error.\n";
#endif
  return syntax;
}

// The script's text and the name its messages give it; empty after a message on `err`.
std::optional<std::string> ReadScript(const std::string& fileName) {
  std::ostringstream content;
  if (fileName == "-") {
    content << std::cin.rdbuf();
    return content.str();
  }
  errno = 0;
  std::ifstream stream(fileName, std::ios::binary);
  if (!stream) {
    std::cerr << "varnet-script: cannot read " << fileName << ": " << std::strerror(errno != 0 ? errno : EIO)
              << "\n";
    return std::nullopt;
  }
  content << stream.rdbuf();
  return content.str();
}

}  // namespace

int main(int argc, char** argv) {
#ifdef VARNET_WITH_WIN32_HOST
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::string hostName = "win32";
#else
  std::string hostName = "headless";
#endif
  const cl::CommandLineSyntax syntax = Syntax();
  const cl::ParsedCommandLine command =
      cl::ParseCommandLine(syntax, std::span(argv, static_cast<std::size_t>(argc)), std::cout, std::cerr);
  if (command.exitStatus) {
    return *command.exitStatus;
  }
#ifdef __linux__
  if (command.Has("--ports")) {
    varnet::posix::PrintPortMap(
        varnet::posix::LoadUserPortMap(varnet::posix::UserPortNameFile(), "varnet-script", std::cerr),
        std::cout);
    return 0;
  }
#endif
  if (command.arguments.empty()) {
    return cl::UsageError(syntax, "missing FILE (a bench script, or - for standard input)", std::cerr);
  }
  if (auto host = command.values.find("--host"); host != command.values.end()) {
    hostName = host->second;
  }
  const std::string fileName = command.arguments[0];
  varnet::programs::SetSystemFailureReport(cl::FailuresOn(std::cerr, "varnet-script"));
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
    return cl::UsageError(syntax, "no host named " + hostName + " in this build", std::cerr);
  }
  const std::optional<std::string> text = ReadScript(fileName);
  if (!text) {
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
  return varnet::script::RunScriptText(fileName == "-" ? "(standard input)" : fileName, *text, std::cout,
                                       std::cerr, host->second, &varnet::programs::MakeSystemPlatform);
}
