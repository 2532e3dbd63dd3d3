// The configuration report over sets whose counts and lengths do and do not match their bytes.
// Each set is handed over in a heap buffer of exactly its own length, so that under ASan any
// read past the answer is caught.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "protocol/configuration_walk.h"
#include "protocol/report_line.h"

namespace {

using varnet::driver::ConfigurationReport;
using varnet::driver::ReportLine;
using Bytes = std::vector<std::uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

Bytes Configuration(std::uint8_t bLength, std::uint16_t total, std::uint8_t interfaces) {
  return {bLength,
          0x02,
          static_cast<std::uint8_t>(total),
          static_cast<std::uint8_t>(total >> 8),
          interfaces,
          0x01,
          0x00,
          0x80,
          0x32};
}

const Bytes kInterface = {0x09, 0x04, 0x00, 0x00, 0x03, 0xFF, 0x00, 0x00, 0x00};
const Bytes kEndpoint1 = {0x07, 0x05, 0x81, 0x03, 0x0A, 0x00, 0x01};
const Bytes kEndpoint2 = {0x07, 0x05, 0x02, 0x02, 0x40, 0x00, 0x00};
const Bytes kEndpoint3 = {0x07, 0x05, 0x83, 0x02, 0x40, 0x00, 0x00};
const Bytes kFunctional = {0x05, 0x24, 0x00, 0x10, 0x01, 0x04, 0x24, 0x02, 0x06, 0x05,
                           0x24, 0x06, 0x00, 0x00, 0x05, 0x24, 0x01, 0x00, 0x00};

const Bytes kSet58 =
    Concat({Configuration(9, 58, 1), kInterface, kEndpoint1, kEndpoint2, kEndpoint3, kFunctional});
const Bytes kSet39 = Concat({Configuration(9, 39, 1), kInterface, kEndpoint1, kEndpoint2, kEndpoint3});

std::vector<ReportLine> Walk(const Bytes& set) {
  // Exactly the set's bytes on the heap: nothing after them that a stray read could find.
  const auto exact = std::make_unique<std::uint8_t[]>(set.size());
  std::copy(set.begin(), set.end(), exact.get());
  return ConfigurationReport(std::span<const std::uint8_t>(exact.get(), set.size()));
}

// The report in short: each fixed line by a word, each run of value lines by its count.
std::string Shape(const std::vector<ReportLine>& lines) {
  std::string shape;
  int values = 0;
  auto flush = [&] {
    if (values > 0) {
      shape += ' ';
      shape += std::to_string(values);
      values = 0;
    }
  };
  for (const ReportLine& line : lines) {
    if (line.value) {
      ++values;
      continue;
    }
    flush();
    if (line.text == "<< CONFIGURATION DESCRIPTOR >>") {
      shape += " CONF";
    } else if (line.text == "<< INTERFACE DESCRIPTOR >>") {
      shape += " INTF";
    } else if (line.text == "<< FUNCTIONAL DESCRIPTOR >>") {
      shape += " FUNC";
    } else if (line.text == std::string(varnet::driver::kSeparator)) {
      shape += " SEP";
    } else if (line.text.empty()) {
      shape += " _";
    } else if (line.text.starts_with("<< ENDPOINT ")) {
      shape += " EP" + line.text.substr(12, line.text.find(' ', 12) - 12);
    } else {
      shape += " ?" + line.text;
    }
  }
  flush();
  return shape.substr(1);
}

std::vector<std::string> Texts(const std::vector<ReportLine>& lines) {
  std::vector<std::string> texts;
  for (const ReportLine& line : lines) {
    texts.push_back(ToText(line));
  }
  return texts;
}

bool Has(const std::vector<ReportLine>& lines, const std::string& text) {
  const std::vector<std::string> texts = Texts(lines);
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

Bytes Prefix(const Bytes& set, std::size_t length) { return Bytes(set.begin(), set.begin() + length); }

const std::string kFull = "CONF 8 _ INTF 9 EP0 6 EP1 6 EP2 6";

struct Case {
  const char* what;
  Bytes set;
  std::string shape;
};

TEST(ConfigurationWalk, ShapeFollowsCountsAndStopsWhereTheBytesEnd) {
  Bytes endpointLengthZero = kSet58;
  endpointLengthZero[18] = 0;  // first endpoint's bLength
  Bytes interfaceTooLong = kSet58;
  interfaceTooLong[9] = 0xFF;  // the interface claims 255 bytes: the walk jumps past the end
  const Case cases[] = {
      {"58-byte set with its functional block", kSet58, kFull + " FUNC 18 SEP"},
      {"39-byte set without functional block", kSet39, kFull + " SEP"},
      {"no interfaces, functional block after the configuration",
       Concat({Configuration(9, 28, 0), kFunctional}), "CONF 8 FUNC 18 SEP"},
      {"no interfaces, one byte short of a functional block",
       Prefix(Concat({Configuration(9, 27, 0), kFunctional}), 27), "CONF 8 SEP"},
      {"no interfaces, nothing after the configuration", Configuration(9, 9, 0), "CONF 8 SEP"},
      {"configuration bLength 0: the interface and endpoint show its bytes again", Configuration(0, 9, 1),
       "CONF 8 _ INTF 9 EP0 6 SEP"},
      {"endpoint bLength 0: all three endpoints and the block read from there", endpointLengthZero,
       kFull + " FUNC 18 SEP"},
      {"interface bLength past the end", interfaceTooLong, "CONF 8 _ INTF 9 SEP"},
      {"empty answer", {}, "SEP"},
      {"one byte", {0x09}, "SEP"},
      {"eight bytes", Prefix(kSet58, 8), "SEP"},
      {"configuration only", Prefix(kSet58, 9), "CONF 8 SEP"},
      {"interface cut short", Prefix(kSet58, 17), "CONF 8 SEP"},
      {"interface whole, endpoint 0 cut short", Prefix(kSet58, 24), "CONF 8 _ INTF 9 SEP"},
      {"endpoint 0 whole", Prefix(kSet58, 25), "CONF 8 _ INTF 9 EP0 6 SEP"},
      {"functional block one byte short", Prefix(kSet58, 57), kFull + " SEP"},
      {"configuration bLength beyond the answer", Concat({Configuration(200, 28, 1), kFunctional}),
       "CONF 8 SEP"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Shape(Walk(c.set)), c.shape) << c.what;
  }
}

TEST(ConfigurationWalk, EveryTruncationOfTheFullSetEndsWithTheSeparator) {
  for (std::size_t length = 0; length <= kSet58.size(); ++length) {
    const std::vector<ReportLine> lines = Walk(Prefix(kSet58, length));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), ReportLine::Text(std::string(varnet::driver::kSeparator))) << length;
  }
}

TEST(ConfigurationWalk, FieldsAreReadAtTheirOffsets) {
  const std::vector<std::string> texts = Texts(Walk(kSet58));
  const std::vector<std::string> expected = {
      "<< CONFIGURATION DESCRIPTOR >>",
      "bLength: 0x09",
      "bDescriptorType: 0x02",
      "wTotalLength: 0x3A",
      "bNumInterfaces: 0x01",
      "bConfigurationValue: 0x01",
      "iConfiguration: 0x00",
      "bmAttributes: 0x80",
      "MaxPower: 0x32",
      "",
      "<< INTERFACE DESCRIPTOR >>",
      "bLength: 0x09",
      "bDescriptorType: 0x04",
      "bInterfaceNumber: 0x00",
      "bAlternateSetting: 0x00",
      "bNumEndpoints: 0x03",
      "bInterfaceClass: 0xFF",
      "bInterfaceSubClass: 0x00",
      "bInterfaceProtocol: 0x00",
      "iInterface: 0x00",
      "<< ENDPOINT 0 DESCRIPTOR >>",
      "bLength: 0x07",
      "bDescriptorType: 0x05",
      "bEndpointAddress: 0x81",
      "bmAttributes: 0x03",
      "wMaxPacketSize: 0x0A",
      "bInterval: 0x01",
      "<< ENDPOINT 1 DESCRIPTOR >>",
      "bLength: 0x07",
      "bDescriptorType: 0x05",
      "bEndpointAddress: 0x02",
      "bmAttributes: 0x02",
      "wMaxPacketSize: 0x40",
      "bInterval: 0x00",
      "<< ENDPOINT 2 DESCRIPTOR >>",
      "bLength: 0x07",
      "bDescriptorType: 0x05",
      "bEndpointAddress: 0x83",
      "bmAttributes: 0x02",
      "wMaxPacketSize: 0x40",
      "bInterval: 0x00",
      "<< FUNCTIONAL DESCRIPTOR >>",
      "bFunctionLength1: 0x05",
      "bDescriptorType1: 0x24",
      "bDescriptorSubtype1: 0x00",
      "bcdCDC: 0x110",
      "bFunctionLength2: 0x04",
      "bDescriptorType2: 0x24",
      "bDescriptorSubtype2: 0x02",
      "bmCapabilities2: 0x06",
      "bFunctionLength3: 0x05",
      "bDescriptorType3: 0x24",
      "bDescriptorSubtype3: 0x06",
      "bMasterInterface: 0x00",
      "bSlaveInterface: 0x00",
      "bFunctionLength4: 0x05",
      "bDescriptorType4: 0x24",
      "bDescriptorSubtype4: 0x01",
      "bmCapabilities4: 0x00",
      "bDataInterface: 0x00",
      "------------------------------------------",
  };
  EXPECT_EQ(texts, expected);
}

TEST(ConfigurationWalk, LengthZeroDescriptorsRepeatTheSameBytes) {
  Bytes set = kSet58;
  set[18] = 0;  // first endpoint's bLength: the walk stays at offset 18
  const std::vector<ReportLine> lines = Walk(set);
  const std::vector<std::string> texts = Texts(lines);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "bEndpointAddress: 0x81"), 3);
  // The block is read from offset 18 too: its first byte is that endpoint's bLength.
  EXPECT_TRUE(Has(lines, "bFunctionLength1: 0x00"));
  EXPECT_TRUE(Has(lines, "bDescriptorType1: 0x05"));
}

TEST(ConfigurationWalk, CountsBoundTheWalkOverLengthZeroDescriptors) {
  // 255 interfaces of bLength 0 without endpoints: each prints the same 9 bytes.
  const Bytes set =
      Concat({Configuration(9, 18, 255), {0x00, 0x04, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00}});
  const std::vector<std::string> texts = Texts(Walk(set));
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "<< INTERFACE DESCRIPTOR >>"), 255);
  EXPECT_EQ(texts.back(), "------------------------------------------");
}

TEST(ConfigurationWalk, BrokenCountsCallForHundredsOfThousandsOfLines) {
  // 18 bytes: 255 interfaces of bLength 0, each with 255 endpoints of bLength 0, all read from the
  // same 9 bytes. Every line is handed over, each endpoint numbered within its interface.
  const Bytes set =
      Concat({Configuration(9, 18, 255), {0x00, 0x04, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00}});
  long lines = 0;
  long interfaces = 0;
  long endpoints = 0;
  std::string lastHeading;
  std::string lastLine;
  varnet::driver::WalkConfiguration(set, [&](const varnet::driver::ReportLineView& line) {
    ++lines;
    if (line.value) {
      return;
    }
    if (line.text == "<< INTERFACE DESCRIPTOR >>") {
      ++interfaces;
    } else if (line.text.starts_with("<< ENDPOINT ")) {
      ++endpoints;
      lastHeading = line.text;
    }
    lastLine = line.text;
  });
  EXPECT_EQ(interfaces, 255);
  EXPECT_EQ(endpoints, 255 * 255);
  EXPECT_EQ(lines, 9 + 255 * (2 + 9 + 255 * 7) + 1);  // 457,990
  EXPECT_EQ(lastHeading, "<< ENDPOINT 254 DESCRIPTOR >>");
  EXPECT_EQ(lastLine, varnet::driver::kSeparator);
}

}  // namespace
