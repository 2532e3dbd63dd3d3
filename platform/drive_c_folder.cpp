#include "platform/drive_c_folder.h"

#include <cstdio>
#include <system_error>

namespace varnet {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return text;
}

// A C stream in binary mode; text mode ("t") turns CR LF into LF on reading, as the Windows
// runtime does.
class StdioFile : public File {
 public:
  StdioFile(std::FILE* stream, bool textMode) : stream_(stream), textMode_(textMode) {}
  ~StdioFile() override { std::fclose(stream_); }
  StdioFile(const StdioFile&) = delete;
  StdioFile& operator=(const StdioFile&) = delete;

  std::optional<std::string> Gets(std::size_t maxChars) override {
    if (maxChars < 2) {
      return std::nullopt;
    }
    std::string line;
    while (line.size() < maxChars - 1) {
      int c = std::fgetc(stream_);
      if (c == EOF) {
        break;
      }
      if (textMode_ && c == '\r') {
        const int next = std::fgetc(stream_);
        if (next == '\n') {
          c = '\n';
        } else if (next != EOF) {
          std::ungetc(next, stream_);
        }
      }
      line.push_back(static_cast<char>(c));
      if (c == '\n') {
        break;
      }
    }
    if (line.empty()) {
      return std::nullopt;
    }
    return line;
  }

  std::size_t Write(std::span<const std::uint8_t> bytes) override {
    if (bytes.empty()) {
      return 0;
    }
    return std::fwrite(bytes.data(), 1, bytes.size(), stream_);
  }

 private:
  std::FILE* stream_;
  bool textMode_;
};

}  // namespace

DriveCFolder::DriveCFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
}

std::filesystem::path DriveCFolder::Resolve(const std::string& path) const {
  std::string name = path;
  if (name.size() >= 3 && (name[0] == 'c' || name[0] == 'C') && name[1] == ':' &&
      (name[2] == '\\' || name[2] == '/')) {
    name = name.substr(3);
  } else {
    return {};
  }
  if (name.empty() || name.find_first_of("\\/:") != std::string::npos) {
    return {};
  }
  const std::string wanted = Lower(name);
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
    if (Lower(entry.path().filename().string()) == wanted) {
      return entry.path();
    }
  }
  return folder_ / name;
}

std::unique_ptr<File> DriveCFolder::Open(const std::string& path, const std::string& mode) {
  const std::filesystem::path file = Resolve(path);
  if (file.empty()) {
    return nullptr;
  }
  const bool textMode = mode.find('t') != std::string::npos;
  std::string stdioMode;
  for (char c : mode) {
    if (c != 't' && c != 'b') {
      stdioMode.push_back(c);
    }
  }
  stdioMode.push_back('b');
  std::FILE* stream = std::fopen(file.string().c_str(), stdioMode.c_str());
  if (stream == nullptr) {
    return nullptr;
  }
  return std::make_unique<StdioFile>(stream, textMode);
}

}  // namespace varnet
