#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/data_file_parser.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using varnet::ParseDataLine;

struct LineCase {
  std::string line;            // as one read of the file hands it over, its LF included
  std::optional<Bytes> bytes;  // nothing: a format error
};

TEST(DataFileParser, FieldsEveryThreeCharacters) {
  const LineCase cases[] = {
      {"01 02 03\n", Bytes{0x01, 0x02, 0x03}},
      {"01 02 03", Bytes{0x01, 0x02, 0x03}},  // last line without LF
      {"A5,5a\n", Bytes{0xA5, 0x5A}},         // any separator, either case
      {"0102\n", Bytes{0x01, 0x02}},          // position 2 is a separator, never read
      {"01 02 \n", Bytes{0x01, 0x02, 0x00}},  // the LF alone is a last field of its own
      {"\n", Bytes{0x00}},                    // a blank line is one zero byte
      {"", Bytes{}},
      {"zz\n", Bytes{0x00}},
      {"-1\n", Bytes{0xFF}},
      {"1\n", Bytes{0x01}},           // the LF ends the field
      {"\t5\n", Bytes{0x05}},         // white space other than the space is skipped
      {"0x\n", Bytes{0x00}},          // a prefix with no digits after it
      {"F", Bytes{0x0F}},             // a single character at the end of the line
      {"FF\r\n", Bytes{0xFF, 0x00}},  // a CR left in place is a character like any other
      {"1 2\n", std::nullopt},
      {" 01\n", std::nullopt},
      {"01  02\n", std::nullopt},  // two spaces between fields
      {"01 0 \n", std::nullopt},
      {"01 02 0", Bytes{0x01, 0x02, 0x00}},
  };
  for (const LineCase& c : cases) {
    EXPECT_EQ(ParseDataLine(c.line), c.bytes) << '"' << c.line << '"';
  }
}

TEST(DataFileParser, LongestPieceGivesAtMost171Bytes) {
  std::string piece;
  for (int k = 0; k < 170; ++k) {
    piece += "7E ";
  }
  piece += "A";  // position 510: a single-character field
  ASSERT_EQ(piece.size(), varnet::kDataLineChars);
  const std::optional<Bytes> bytes = ParseDataLine(piece);
  ASSERT_TRUE(bytes.has_value());
  ASSERT_EQ(bytes->size(), varnet::kDataLineBytes);
  EXPECT_EQ(bytes->size(), 171u);
  EXPECT_EQ(bytes->front(), 0x7E);
  EXPECT_EQ(bytes->back(), 0x0A);
}

TEST(DataFileParser, RestOfALongLineIsParsedFromItsFirstCharacter) {
  // A 600-character line is read as 511 characters and then 89 and the LF; the second piece
  // starts in the middle of a field and is cut into fields from there.
  std::string line;
  for (int k = 0; k < 200; ++k) {
    line += "01,";
  }
  line += "\n";
  const std::string first = line.substr(0, 511);
  const std::string rest = line.substr(511);
  ASSERT_EQ(rest.size(), 90u);
  EXPECT_EQ(ParseDataLine(first)->size(), 171u);
  // The rest begins at position 511 = 3 * 170 + 1: "1,01,01,...", whose fields are "1,", "1,", ...
  const std::optional<Bytes> restBytes = ParseDataLine(rest);
  ASSERT_TRUE(restBytes.has_value());
  EXPECT_EQ(restBytes->size(), 30u);
  EXPECT_EQ(restBytes->front(), 0x01);
}

TEST(DataFileParser, ReadsOnlyItsOwnCharacters) {
  // A field that reaches the end of the view must not run on into what follows it in memory.
  const std::string storage = "01 0234";
  const std::string_view line(storage.data(), 5);  // "01 02" without the rest
  EXPECT_EQ(ParseDataLine(line), (Bytes{0x01, 0x02}));
  const std::string_view cut(storage.data(), 4);  // "01 0": the last field is the single "0"
  EXPECT_EQ(ParseDataLine(cut), (Bytes{0x01, 0x00}));
}

}  // namespace
