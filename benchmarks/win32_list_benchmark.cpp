// How long a loop check that fails on every byte takes on the real Win32 dialog against the
// headless host, for the same script: nothing is plugged in, so a check of N bytes appends about
// N lines to the Command Response list. Both hosts must print the same bytes. Runs under Wine
// (on a display: Xvfb will do) and on Windows.
//   win32_list_benchmark [LINES]   (default 1000000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "host_headless/headless_host.h"
#include "host_win32/win32_host.h"
#include "platform_win32/windows_api.h"
#include "script/script_runner.h"

namespace {

// The process's own processor time (user and kernel), in seconds. Wine's server and the X
// server do part of the Win32 host's work in processes of their own, which this leaves out.
double ProcessorSeconds() {
  FILETIME created{};
  FILETIME exited{};
  FILETIME kernel{};
  FILETIME user{};
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ticks = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  };
  return (ticks(kernel) + ticks(user)) / 1e7;
}

struct Run {
  double seconds = 0;
  double processor = 0;
  std::string output;
  int status = 0;
};

Run RunOn(const std::string& script, const varnet::script::HostFactory& makeHost) {
  std::ostringstream out;
  std::ostringstream err;
  const auto begin = std::chrono::steady_clock::now();
  const double processorBegin = ProcessorSeconds();
  Run run;
  run.status = varnet::script::RunScriptText("list-benchmark.bench", script, out, err, makeHost);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  run.processor = ProcessorSeconds() - processorBegin;
  run.output = out.str();
  if (run.status != 0) {
    std::fprintf(stderr, "%s", err.str().c_str());
  }
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const long lines = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1'000'000;
  const std::string script = "plug none\nclick 1003\ntype 1012 6000000\nclick 1010\ntype 1015 " +
                             std::to_string(lines) + "\nclick 1048\n";

  const Run headless =
      RunOn(script, [](varnet::framework::CWinApp& app) -> std::unique_ptr<varnet::framework::ScriptHost> {
        return std::make_unique<varnet::headless::HeadlessHost>(app);
      });
  const Run win32 = RunOn(script, &varnet::win32::MakeScriptHost);

  std::size_t printed = 0;
  for (char c : win32.output) {
    printed += c == '\n' ? 1 : 0;
  }
  const bool same = headless.status == 0 && win32.status == 0 && headless.output == win32.output;
  std::printf("loop check of %ld bytes, nothing plugged in (%zu lines printed)\n", lines, printed);
  std::printf("                    elapsed  processor (this process)\n");
  std::printf("headless host:     %7.2f s  %7.2f s\n", headless.seconds, headless.processor);
  std::printf("Win32 host:        %7.2f s  %7.2f s\n", win32.seconds, win32.processor);
  std::printf("ratio:             %7.2f    %7.2f   (goal: at most 2)\n", win32.seconds / headless.seconds,
              win32.processor / headless.processor);
  std::printf("outputs:            %s\n", same ? "identical" : "DIFFERENT");
  return same ? 0 : 1;
}
