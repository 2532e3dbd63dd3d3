// libFuzzer target: the data file as Send TXT reads it. The input is the file's content: it is
// read back through drive c: in text mode, one piece of at most 511 characters at a time, and
// each piece is parsed into bytes. Built with ASan, so a read outside a piece stops the run.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/drive_c_folder.h"
#include "protocol/data_file_parser.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

namespace fs = std::filesystem;

using varnet::fuzz::Check;

fs::path& Folder() {
  static fs::path folder;
  return folder;
}

// What a text-mode reader must hand over, piece by piece, as the Windows runtime's fgets does:
// the content up to its first Ctrl-Z with each CR LF pair as LF, cut after each LF and after
// kDataLineChars characters; a NUL ends the text of its piece.
std::vector<std::string> TextModePieces(std::string_view content) {
  content = content.substr(0, content.find('\x1A'));
  std::string text;
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') {
      continue;
    }
    text.push_back(content[i]);
  }
  std::vector<std::string> pieces;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = start;
    while (end < text.size() && end - start < varnet::kDataLineChars &&
           (end == start || text[end - 1] != '\n')) {
      ++end;
    }
    const std::string_view raw = std::string_view(text).substr(start, end - start);
    pieces.emplace_back(raw.substr(0, raw.find('\0')));
    start = end;
  }
  return pieces;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void CheckParse(std::string_view piece) {
  const std::optional<std::vector<std::uint8_t>> bytes = varnet::ParseDataLine(piece);
  bool blankInField = false;
  for (std::size_t start = 0; start < piece.size(); start += 3) {
    blankInField = blankInField || piece.substr(start, 2).find(' ') != std::string_view::npos;
  }
  Check(bytes.has_value() == !blankInField);
  if (!bytes) {
    return;
  }
  Check(bytes->size() == (piece.size() + 2) / 3);
  Check(bytes->size() <= varnet::kDataLineBytes);
  for (std::size_t k = 0; k < bytes->size(); ++k) {
    const std::string_view field = piece.substr(3 * k, 2);
    if (field.size() == 2 && HexValue(field[0]) >= 0 && HexValue(field[1]) >= 0) {
      Check((*bytes)[k] == HexValue(field[0]) * 16 + HexValue(field[1]));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Folder() = varnet::fuzz::ScratchFolder("varnet-data-file-fuzz");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream file(Folder() / "DATA.TXT", std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
  }
  varnet::DriveCFolder drive(Folder());
  const std::unique_ptr<varnet::File> file = drive.Open("c:\\data.txt", "rt");
  Check(file != nullptr);

  std::vector<std::string> pieces;
  while (std::optional<std::string> piece = file->Gets(varnet::kDataLineChars + 1)) {
    Check(pieces.size() < size + 1);
    CheckParse(*piece);
    pieces.push_back(std::move(*piece));
  }
  Check(pieces == TextModePieces(content));
  return 0;
}
