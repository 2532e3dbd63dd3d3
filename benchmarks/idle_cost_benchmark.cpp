// What the script runner on the virtual bench costs in processor time while it waits for the
// line or for nothing at all: a 1 MB Write Data at two rates with nothing plugged in, and
// `wait 10000` with the port closed and open. Each script runs in a child process whose own
// user and system time the kernel reports; a twin script without the measured line gives the cost
// of starting, opening and setting up, which is taken off.
//
// Usage: idle_cost_benchmark [--host NAME]   (default host: headless)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Cost {
  double wall = 0;
  double cpu = 0;
};

double Seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

Cost Run(const std::string& host, const std::filesystem::path& script) {
  std::vector<std::string> words{VARNET_SCRIPT_RUNNER, "--host", host, script.string()};
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    std::perror("posix_spawn");
    std::exit(1);
  }
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", script.c_str());
    std::exit(1);
  }
  Cost cost;
  cost.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  cost.cpu = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  return cost;
}

std::filesystem::path Write(const std::filesystem::path& folder, const std::string& name,
                            const std::string& text) {
  const std::filesystem::path path = folder / (name + ".bench");
  std::ofstream(path) << text;
  return path;
}

struct Case {
  std::string what;
  std::string setUp;     // the twin script: everything but the measured line
  std::string measured;  // the measured line
  double lineSeconds;    // time on the line, 0 for an idle wait
};

std::string Transfer(const char* rate) {
  return std::string("plug none\nclick 1003\ntype 1012 ") + rate + "\nclick 1010\ntype 1015 1048576\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::string host = "headless";
  if (argc == 3 && std::string(argv[1]) == "--host") {
    host = argv[2];
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: %s [--host NAME]\n", argv[0]);
    return 2;
  }
  if (host == "qt" && std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("varnet-idle-cost-" + std::to_string(static_cast<long>(getpid())));
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);

  constexpr double kBitsPerMegabyte = 1048576.0 * 10;  // 8N1
  const std::vector<Case> cases{
      {"Write Data 1,048,576 bytes at 921,600 baud", Transfer("921600"), "click 1013\n",
       kBitsPerMegabyte / 921600},
      {"Write Data 1,048,576 bytes at 6,000,000 baud", Transfer("6000000"), "click 1013\n",
       kBitsPerMegabyte / 6000000},
      {"wait 10000, port closed", "", "wait 10000\n", 0},
      {"wait 10000, port open", "click 1003\n", "wait 10000\n", 0},
  };

  std::printf("host %s; wall and CPU (user + system) of the whole run, then of the measured line alone\n",
              host.c_str());
  std::printf("%-46s %9s %9s %9s %9s %11s\n", "case", "wall s", "CPU s", "line s", "CPU ms", "CPU/line");
  int n = 0;
  for (const Case& c : cases) {
    const std::string name = "case" + std::to_string(n++);
    const Cost twin = Run(host, Write(folder, name + "-twin", c.setUp));
    const Cost whole = Run(host, Write(folder, name, c.setUp + c.measured));
    const double cpu = whole.cpu - twin.cpu;
    const double line = c.lineSeconds > 0 ? c.lineSeconds : whole.wall - twin.wall;
    std::printf("%-46s %9.2f %9.3f %9.2f %9.1f %10.2f%%\n", c.what.c_str(), whole.wall, whole.cpu, line,
                cpu * 1000, 100 * cpu / line);
  }
  std::filesystem::current_path(std::filesystem::temp_directory_path());
  std::filesystem::remove_all(folder);
  return 0;
}
