#include "platform_posix/system_services.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>

extern char** environ;

namespace varnet::posix {

DWORD SteadyTickClock::GetTickCount() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void DesktopShell::OpenDocument(const std::string& path) {
  const std::string file = driveC_.Resolve(path).string();
  if (file.empty()) {
    return;
  }
  // sh starts the opener in the background and ends; the opener is then the init process's child
  // and nobody has to wait for it. Its output does not reach the dialog's terminal.
  std::string script = "\"$0\" \"$1\" </dev/null >/dev/null 2>&1 &";
  char* argv[] = {const_cast<char*>("sh"),
                  const_cast<char*>("-c"),
                  script.data(),
                  const_cast<char*>(opener_.c_str()),
                  const_cast<char*>(file.c_str()),
                  nullptr};
  pid_t shell = 0;
  if (::posix_spawn(&shell, "/bin/sh", nullptr, nullptr, argv, environ) != 0) {
    return;
  }
  int status = 0;
  while (::waitpid(shell, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace varnet::posix
