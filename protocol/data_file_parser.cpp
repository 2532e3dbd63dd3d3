#include "protocol/data_file_parser.h"

#include "runtime/numbers.h"

namespace varnet {

std::optional<std::vector<std::uint8_t>> ParseDataLine(std::string_view line) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve((line.size() + 2) / 3);
  for (std::size_t start = 0; start < line.size(); start += 3) {
    // The last field may be a single character, when the line ends right after it.
    const std::string_view field = line.substr(start, 2);
    if (field.find(' ') != std::string_view::npos) {
      return std::nullopt;
    }
    bytes.push_back(static_cast<std::uint8_t>(runtime::StrtolHex(field) & 0xFF));
  }
  return bytes;
}

}  // namespace varnet
