#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/drive_c_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Lines = std::vector<std::string>;

struct ReadCase {
  const char* what;
  std::string content;
  std::string mode;
  std::size_t maxChars;
  Lines lines;  // what each read gives, until a read gives nothing
};

class DriveCTextFile : public testing::Test {
 protected:
  void TearDown() override {
    std::error_code error;
    fs::remove_all(folder_, error);
  }

  Lines ReadAll(const std::string& content, const std::string& mode, std::size_t maxChars) {
    std::ofstream(folder_ / "DATA.TXT", std::ios::binary | std::ios::trunc) << content;
    const std::unique_ptr<varnet::File> file = drive_.Open("c:\\data.txt", mode);
    EXPECT_NE(file, nullptr);
    Lines lines;
    while (file != nullptr && lines.size() < 100) {
      std::optional<std::string> line = file->Gets(maxChars);
      if (!line) {
        break;
      }
      lines.push_back(*line);
    }
    return lines;
  }

  // Test processes may run side by side: each reads in a folder of its own.
  const fs::path folder_ =
      fs::temp_directory_path() / ("varnet-drive-c-" + std::to_string(std::random_device{}()));
  varnet::DriveCFolder drive_{folder_};
};

TEST_F(DriveCTextFile, ReadsAsTheWindowsRuntimeReadsText) {
  const ReadCase cases[] = {
      {"a NUL ends its line's text, Ctrl-Z ends the file",
       "01\0 02 03\n04\x1A"
       "05\n06\n"s,
       "rt",
       512,
       {"01", "04"}},
      {"CR LF reads as LF", "10 20\r\nFF\r\n", "rt", 512, {"10 20\n", "FF\n"}},
      {"a CR without LF stays, at the end too", "A\rB\r", "rt", 512, {"A\rB\r"}},
      {"a CR before Ctrl-Z stays", "A\r\x1A\n", "rt", 512, {"A\r"}},
      {"a line that begins with NUL has no text", "\0 02\n03\n"s, "rt", 512, {"", "03\n"}},
      {"Ctrl-Z first: nothing to read",
       "\x1A"
       "01\n",
       "rt",
       512,
       {}},
      {"a NUL cuts only its own piece of a long line", "ab\0cdefg\n"s, "rt", 5, {"ab", "defg", "\n"}},
      {"CR LF counts as one character of a piece", "abc\r\nd", "rt", 5, {"abc\n", "d"}},
      {"binary mode keeps CR and Ctrl-Z", "A\r\n\x1A\n", "r", 512, {"A\r\n", "\x1A\n"}},
      {"an empty file", "", "rt", 512, {}},
  };
  for (const ReadCase& c : cases) {
    EXPECT_EQ(ReadAll(c.content, c.mode, c.maxChars), c.lines) << c.what;
  }
}

}  // namespace
