// version-check.exe: prints GetVersion as the Win32 layer answers it and the family the dialog
// decides on from it (the top bit: clear on the NT family, set on the 9x family).
#include <cstdio>

#include "platform_win32/win32_platform.h"

int main() {
  varnet::win32::Win32System system;
  const varnet::DWORD version = system.GetVersion();
  std::printf("GetVersion 0x%08lX family %s\n", static_cast<unsigned long>(version),
              version < 0x80000000u ? "nt" : "9x");
  return 0;
}
