#include "protocol/configuration_walk.h"

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace varnet::driver {

namespace {

struct Field {
  std::size_t offset;
  bool wide;  // a 16-bit little-endian field
  std::string_view name;
};

constexpr std::size_t kConfigurationLength = 9;
constexpr std::size_t kInterfaceLength = 9;
constexpr std::size_t kEndpointLength = 7;
constexpr std::size_t kFunctionalLength = 19;

constexpr Field kConfigurationFields[] = {
    {0, false, "bLength"},
    {1, false, "bDescriptorType"},
    {2, true, "wTotalLength"},
    {4, false, "bNumInterfaces"},
    {5, false, "bConfigurationValue"},
    {6, false, "iConfiguration"},
    {7, false, "bmAttributes"},
    {8, false, "MaxPower"},
};

constexpr Field kInterfaceFields[] = {
    {0, false, "bLength"},
    {1, false, "bDescriptorType"},
    {2, false, "bInterfaceNumber"},
    {3, false, "bAlternateSetting"},
    {4, false, "bNumEndpoints"},
    {5, false, "bInterfaceClass"},
    {6, false, "bInterfaceSubClass"},
    {7, false, "bInterfaceProtocol"},
    {8, false, "iInterface"},
};

constexpr Field kEndpointFields[] = {
    {0, false, "bLength"},      {1, false, "bDescriptorType"}, {2, false, "bEndpointAddress"},
    {3, false, "bmAttributes"}, {4, true, "wMaxPacketSize"},   {6, false, "bInterval"},
};

// Header, Abstract Control Management, Union and Call Management, at fixed offsets: the block's
// own bFunctionLength bytes are not followed.
constexpr Field kFunctionalFields[] = {
    {0, false, "bFunctionLength1"},     {1, false, "bDescriptorType1"},
    {2, false, "bDescriptorSubtype1"},  {3, true, "bcdCDC"},
    {5, false, "bFunctionLength2"},     {6, false, "bDescriptorType2"},
    {7, false, "bDescriptorSubtype2"},  {8, false, "bmCapabilities2"},
    {9, false, "bFunctionLength3"},     {10, false, "bDescriptorType3"},
    {11, false, "bDescriptorSubtype3"}, {12, false, "bMasterInterface"},
    {13, false, "bSlaveInterface"},     {14, false, "bFunctionLength4"},
    {15, false, "bDescriptorType4"},    {16, false, "bDescriptorSubtype4"},
    {17, false, "bmCapabilities4"},     {18, false, "bDataInterface"},
};

class Walk {
 public:
  Walk(std::span<const std::uint8_t> set, const ReportSink& sink) : m_set(set), m_sink(sink) {}

  // Whether a descriptor of `length` bytes lies wholly inside the set at the walk position.
  bool Fits(std::size_t length) const {
    return m_position <= m_set.size() && m_set.size() - m_position >= length;
  }

  std::uint8_t Byte(std::size_t offset) const { return m_set[m_position + offset]; }

  template <std::size_t N>
  void Print(const Field (&fields)[N]) {
    for (const Field& field : fields) {
      std::int32_t value = Byte(field.offset);
      if (field.wide) {
        value |= static_cast<std::int32_t>(Byte(field.offset + 1)) << 8;
      }
      m_sink({field.name, value});
    }
  }

  void Text(std::string_view line) { m_sink({line, std::nullopt}); }

  void EndpointHeading(unsigned number) {
    // Up to 65,025 of them in a broken set: formatted without the heap.
    char heading[40];
    const int length =
        std::snprintf(heading, sizeof heading, "<< ENDPOINT %d DESCRIPTOR >>", static_cast<int>(number));
    Text(std::string_view(heading, static_cast<std::size_t>(length)));
  }

  // By the descriptor's own bLength, 0 included (the next descriptor then shows the same bytes).
  void Advance() { m_position += Byte(0); }

  void Finish() { Text(kSeparator); }

 private:
  std::span<const std::uint8_t> m_set;
  const ReportSink& m_sink;
  std::size_t m_position = 0;
};

}  // namespace

void WalkConfiguration(std::span<const std::uint8_t> set, const ReportSink& sink) {
  Walk walk(set, sink);
  if (!walk.Fits(kConfigurationLength)) {
    walk.Finish();
    return;
  }
  walk.Text("<< CONFIGURATION DESCRIPTOR >>");
  walk.Print(kConfigurationFields);
  const unsigned interfaces = walk.Byte(4);
  walk.Advance();

  for (unsigned i = 0; i < interfaces; ++i) {
    if (!walk.Fits(kInterfaceLength)) {
      walk.Finish();
      return;
    }
    walk.Text("");
    walk.Text("<< INTERFACE DESCRIPTOR >>");
    walk.Print(kInterfaceFields);
    const unsigned endpoints = walk.Byte(4);
    walk.Advance();
    for (unsigned e = 0; e < endpoints; ++e) {
      if (!walk.Fits(kEndpointLength)) {
        walk.Finish();
        return;
      }
      walk.EndpointHeading(e);
      walk.Print(kEndpointFields);
      walk.Advance();
    }
  }

  // Whatever follows the last endpoint of the last interface is the functional block, when it
  // is there at all.
  if (walk.Fits(kFunctionalLength)) {
    walk.Text("<< FUNCTIONAL DESCRIPTOR >>");
    walk.Print(kFunctionalFields);
  }
  walk.Finish();
}

std::vector<ReportLine> ConfigurationReport(std::span<const std::uint8_t> set) {
  std::vector<ReportLine> lines;
  WalkConfiguration(set, [&lines](const ReportLineView& line) {
    lines.push_back({std::string(line.text), line.value});
  });
  return lines;
}

}  // namespace varnet::driver
