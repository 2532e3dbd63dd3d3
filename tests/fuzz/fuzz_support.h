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
