// serial-check.exe PORT: the Win32 serial layer on a real COM port with a loop-back at its far
// end (under Wine: a pseudo-terminal with an echo on its master side). Opens the port as the
// dialog does, applies and reads back line settings and time-outs, arms the event mask, writes
// a 512-byte block of the test pattern and reads it back through the loop. Prints each step and
// exits with 1 if any fails.
#include <cstdio>
#include <string>
#include <vector>

#include "platform_win32/win32_platform.h"

namespace {

int g_failures = 0;

void Step(bool ok, const char* what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
  if (!ok) {
    ++g_failures;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = std::string("\\\\.\\") + (argc > 1 ? argv[1] : "COM5");
  varnet::win32::Win32Serial serial;

  const varnet::Handle port = serial.OpenPort(path);
  Step(port != varnet::kInvalidHandle, "open the port exclusively for overlapped input and output");
  if (port == varnet::kInvalidHandle) {
    return 1;
  }

  varnet::CommTimeouts timeouts;
  Step(serial.GetCommTimeouts(port, timeouts), "read the time-outs");
  timeouts.ReadIntervalTimeout = 0;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = 2000;
  timeouts.WriteTotalTimeoutMultiplier = 0;
  timeouts.WriteTotalTimeoutConstant = 5000;
  Step(serial.SetCommTimeouts(port, timeouts), "write the time-outs");
  varnet::CommTimeouts readBack;
  Step(serial.GetCommTimeouts(port, readBack) && readBack.ReadTotalTimeoutConstant == 2000 &&
           readBack.WriteTotalTimeoutConstant == 5000,
       "time-outs read back as written");

  varnet::Dcb dcb;
  Step(serial.GetCommState(port, dcb), "read the line settings");
  dcb.BaudRate = 115200;
  dcb.ByteSize = 8;
  dcb.Parity = 0;
  dcb.StopBits = 0;
  dcb.flags &= ~(varnet::DcbFlag::kOutxCtsFlow | varnet::DcbFlag::kOutxDsrFlow | varnet::DcbFlag::kOutX |
                 varnet::DcbFlag::kInX);
  Step(serial.SetCommState(port, dcb), "write 115200 baud, 8 data bits, no parity, 1 stop bit");
  varnet::Dcb applied;
  Step(serial.GetCommState(port, applied) && applied.BaudRate == 115200 && applied.ByteSize == 8 &&
           applied.Parity == 0 && applied.StopBits == 0,
       "line settings read back as written");
  Step(serial.SetCommMask(port, 0x1FA), "arm the event mask 0x1FA");

  std::vector<std::uint8_t> block(512);
  for (std::size_t i = 0; i < block.size(); ++i) {
    block[i] = static_cast<std::uint8_t>(i);
  }
  const varnet::DWORD written = serial.WriteBlock(port, block, 10000);
  std::printf("     wrote %lu bytes\n", static_cast<unsigned long>(written));
  Step(written == block.size(), "write a 512-byte block");

  std::vector<std::uint8_t> received(512);
  varnet::DWORD total = 0;
  // The echo may hand the block back in pieces: read until all of it is in or a read brings
  // nothing within its time-out.
  for (;;) {
    const varnet::DWORD got = serial.ReadBlock(port, std::span<std::uint8_t>(received).subspan(total), 3000);
    total += got;
    if (got == 0 || total == received.size()) {
      break;
    }
  }
  std::printf("     read %lu bytes\n", static_cast<unsigned long>(total));
  Step(total == block.size() && received == block, "read the same 512 bytes back through the loop");

  // On the NT family the driver's requests travel on the port handle; a port without the vendor
  // driver refuses them.
  std::uint8_t descriptor[18] = {};
  varnet::DWORD returned = 0;
  Step(!serial.DeviceIoControl(port, 0x00220000, nullptr, 0, descriptor, sizeof descriptor, &returned),
       "a device-control request on a port without the vendor driver fails");

  Step(serial.ClosePort(port), "close the port");
  std::printf("%d failures\n", g_failures);
  return g_failures == 0 ? 0 : 1;
}
