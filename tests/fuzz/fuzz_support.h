// What the fuzz targets share: stopping on a broken rule, and a scratch folder of their own.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace varnet::fuzz {

// A broken rule is a finding: abort, so that libFuzzer keeps the input.
inline void Check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

// A new folder for files the target writes at every input, on tmpfs where there is one; removed
// when the run ends normally (an input that stops the run leaves it behind for a look). Each
// process gets its own, so runs in parallel do not meet.
inline std::filesystem::path ScratchFolder(const std::string& prefix) {
  static std::filesystem::path folder;
  const std::filesystem::path base =
      std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
  std::string name = (base / (prefix + "-XXXXXX")).string();
  Check(folder.empty() && ::mkdtemp(name.data()) != nullptr);
  folder = name;
  std::atexit([] {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
  });
  return folder;
}

}  // namespace varnet::fuzz

// ASan's defaults for every fuzz target (this header is included by one source of each). The
// targets free thousands of small buffers an input (file streams, paths, strings): with the
// default 256 MB quarantine ASan keeps taking fresh pages, which here cost more than the code
// under test (the sysfs target ran at half its speed with 400 MB resident instead of 60 MB).
// Freed memory still waits in a quarantine long enough to catch a use within the same input.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }
