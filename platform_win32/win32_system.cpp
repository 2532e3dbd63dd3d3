#include <cstdio>

#include "platform_win32/win32_platform.h"
#include "platform_win32/windows_api.h"
// After windows.h, which it needs.
#include <shellapi.h>

namespace varnet::win32 {
namespace {

// A C runtime stream; the runtime's own text mode does the CR LF handling.
class RuntimeFile : public File {
 public:
  explicit RuntimeFile(std::FILE* stream) : stream_(stream) {}
  ~RuntimeFile() override { std::fclose(stream_); }
  RuntimeFile(const RuntimeFile&) = delete;
  RuntimeFile& operator=(const RuntimeFile&) = delete;

  std::optional<std::string> Gets(std::size_t maxChars) override {
    if (maxChars < 2) {
      return std::nullopt;
    }
    std::string buffer(maxChars, '\0');
    if (std::fgets(buffer.data(), static_cast<int>(maxChars), stream_) == nullptr) {
      return std::nullopt;
    }
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
  }

  std::size_t Write(std::span<const std::uint8_t> bytes) override {
    if (bytes.empty()) {
      return 0;
    }
    return std::fwrite(bytes.data(), 1, bytes.size(), stream_);
  }

 private:
  std::FILE* stream_;
};

}  // namespace

varnet::DWORD Win32System::GetVersion() { return static_cast<varnet::DWORD>(::GetVersion()); }

varnet::DWORD Win32System::GetTickCount() { return static_cast<varnet::DWORD>(::GetTickCount()); }

std::unique_ptr<File> Win32Files::Open(const std::string& path, const std::string& mode) {
  std::FILE* stream = std::fopen(path.c_str(), mode.c_str());
  if (stream == nullptr) {
    return nullptr;
  }
  return std::make_unique<RuntimeFile>(stream);
}

void Win32Shell::OpenDocument(const std::string& path) {
  ::ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace varnet::win32
