#include "desktop/xdg_open_shell.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

namespace varnet::desktop {

void XdgOpenShell::OpenDocument(const std::string& path) {
  const std::filesystem::path file = driveC_.Resolve(path);
  if (file.empty()) {
    return;  // not in drive c:: nothing on this system stands for it
  }
  // A shell starts xdg-open in the background and ends at once, so the dialog neither waits for
  // the editor nor leaves a child to reap; the path travels as an argument, never as shell text.
  std::string target = file.string();
  char sh[] = "/bin/sh";
  char dashC[] = "-c";
  char command[] = "xdg-open \"$1\" >/dev/null 2>&1 &";
  char name[] = "sh";
  char* argv[] = {sh, dashC, command, name, target.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, sh, nullptr, nullptr, argv, environ) != 0) {
    return;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace varnet::desktop
