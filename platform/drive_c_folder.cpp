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

// A C stream in binary mode that reads text mode ("t") as the Windows runtime reads it: CR LF
// as LF, and Ctrl-Z as the end of the file. Lines are read as fgets reads them into a C string:
// a NUL ends the line's text, and what follows it up to the line's end is read and dropped.
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
    std::size_t taken = 0;
    bool ended = false;  // a NUL has ended the line's text
    while (taken < maxChars - 1) {
      const int c = ReadChar();
      if (c == EOF) {
        break;
      }
      ++taken;
      ended = ended || c == '\0';
      if (!ended) {
        line.push_back(static_cast<char>(c));
      }
      if (c == '\n') {
        break;
      }
    }
    if (taken == 0) {
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
  int ReadChar() {
    if (atEnd_) {
      return EOF;
    }
    int c = std::fgetc(stream_);
    if (!textMode_) {
      return c;
    }
    if (c == kCtrlZ) {
      // The rest of the file is not read, now or by any later read.
      atEnd_ = true;
      return EOF;
    }
    if (c == '\r') {
      const int next = std::fgetc(stream_);
      if (next == '\n') {
        c = '\n';
      } else if (next != EOF) {
        std::ungetc(next, stream_);
      }
    }
    return c;
  }

  static constexpr int kCtrlZ = 0x1A;
  std::FILE* stream_;
  bool textMode_;
  bool atEnd_ = false;
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
