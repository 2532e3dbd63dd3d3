// data-file-check.exe: the data file read through the Windows C runtime's own text mode (as
// Test.exe and TestVirtual.exe read it) and through drive c: as a folder (as the script runner
// and every other system read it) gives the same lines, and so the same bytes to send.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/drive_c_folder.h"
#include "platform_win32/win32_platform.h"
#include "protocol/data_file_parser.h"

namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

Lines ReadAll(varnet::Files& files, const std::string& path) {
  Lines lines;
  const std::unique_ptr<varnet::File> file = files.Open(path, "rt");
  while (file != nullptr && lines.size() < 100) {
    std::optional<std::string> line = file->Gets(varnet::kDataLineChars + 1);
    if (!line) {
      break;
    }
    lines.push_back(*line);
  }
  return lines;
}

// What Send TXT writes for each line: its bytes in hexadecimal, or "error".
std::string Sent(const Lines& lines) {
  std::string sent;
  for (const std::string& line : lines) {
    const std::optional<std::vector<std::uint8_t>> bytes = varnet::ParseDataLine(line);
    sent += sent.empty() ? "[" : " [";
    if (!bytes) {
      sent += "error";
    }
    for (std::size_t i = 0; bytes && i < bytes->size(); ++i) {
      char hex[4];
      std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : " %02X", (*bytes)[i]);
      sent += hex;
    }
    sent += "]";
  }
  return sent;
}

}  // namespace

int main() {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "varnet-data-file-check";
  std::filesystem::create_directories(folder);
  varnet::win32::Win32Files runtime;
  varnet::DriveCFolder drive(folder);

  const std::string contents[] = {
      "01\0 02 03\n04\x1A"
      "05\n06\n"s,
      "10 20\r\nFF\r\n",
      "A\rB\r",
      "A\r\x1A\n",
      "\0 02\n03\n"s,
      "\x1A"
      "01\n",
      std::string(600, '1') + "\0 22\r\n33"s,
      "01 02\r\r\n03\n\x1A",
      "",
  };
  int failures = 0;
  for (const std::string& content : contents) {
    std::ofstream(folder / "DATA.TXT", std::ios::binary | std::ios::trunc) << content;
    const Lines fromRuntime = ReadAll(runtime, (folder / "DATA.TXT").string());
    const Lines fromDrive = ReadAll(drive, "c:\\data.txt");
    const bool same = fromRuntime == fromDrive;
    failures += same ? 0 : 1;
    std::printf("%s %zu lines, sent %s\n", same ? "ok  " : "FAIL", fromRuntime.size(),
                Sent(fromRuntime).c_str());
    if (!same) {
      std::printf("     through drive c: %zu lines, sent %s\n", fromDrive.size(), Sent(fromDrive).c_str());
    }
  }
  std::error_code error;
  std::filesystem::remove_all(folder, error);
  std::printf("%d failures\n", failures);
  return failures == 0 ? 0 : 1;
}
