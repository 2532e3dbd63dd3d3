// Device Desc., Config Desc. and String Desc.: the adapter's USB descriptors, field by field, in
// the Result list.
#include <cstddef>
#include <cstdint>

#include "app/test_dlg.h"
#include "driver/response_texts.h"
#include "protocol/configuration_walk.h"
#include "protocol/report_line.h"
#include "protocol/request_layouts.h"
#include "runtime/format.h"

using namespace varnet;

namespace {

struct DeviceField {
  std::size_t offset;
  bool wide;
  std::string_view name;
};

constexpr DeviceField kDeviceFields[] = {
    {0, false, "bLength"},         {1, false, "bDescriptorType"},
    {2, true, "bcdUSB"},           {4, false, "bDeviceClass"},
    {5, false, "bDeviceSubClass"}, {6, false, "bDeviceProtocol"},
    {7, false, "bMaxPacketSize0"}, {8, true, "idVendor"},
    {10, true, "idProduct"},       {12, true, "bcdDevice"},
    {14, false, "iManufacturer"},  {15, false, "iProduct"},
    {16, false, "iSerialNumber"},  {17, false, "bNumConfigurations"},
};

}  // namespace

void CTestDlg::OnDeviceDesc() {
  if (m_hDriver == kInvalidHandle) {
    AddResponse(kNotOpened);
    return;
  }
  driver::DriverRequests requests = Requests();
  const std::optional<driver::DeviceDescriptor> descriptor = requests.GetDeviceDescriptor();
  if (!descriptor) {
    AddResponse("GET device descriptor FAILED.");
    return;
  }
  // All 18 bytes are shown whatever count the driver returned; the buffer was zeroed before.
  AddResult("<< DEVICE DESCRIPTOR >>");
  for (const DeviceField& field : kDeviceFields) {
    std::int32_t value = (*descriptor)[field.offset];
    if (field.wide) {
      value |= static_cast<std::int32_t>((*descriptor)[field.offset + 1]) << 8;
    }
    AddResultValue(value, field.name);
  }
  AddResult(driver::kSeparator);
}

void CTestDlg::OnConfigDesc() {
  if (m_hDriver == kInvalidHandle) {
    AddResponse(kNotOpened);
    return;
  }
  driver::DriverRequests requests = Requests();
  const auto head = requests.GetConfigurationDescriptor(driver::kConfigurationHeadLength);
  if (!head) {
    AddResponse("GET configuration descriptor FAILED.");
    return;
  }
  const std::size_t total = static_cast<std::size_t>((*head)[2] | ((*head)[3] << 8));
  const auto set = requests.GetConfigurationDescriptor(total);
  if (!set) {
    AddResponse("GET configuration descriptor FAILED.");
    return;
  }
  driver::WalkConfiguration(*set, [this](const driver::ReportLineView& line) {
    if (line.value) {
      AddResultValue(*line.value, line.text);
    } else {
      AddResult(line.text);
    }
  });
}

void CTestDlg::OnStringDesc() {
  if (m_hDriver == kInvalidHandle) {
    AddResponse(kNotOpened);
    return;
  }
  driver::DriverRequests requests = Requests();
  // One buffer for the four indexes: after the first, bytes 1-255 go out holding the previous
  // answer.
  driver::StringBuffer buffer{};
  for (std::uint8_t index = 0; index < 4; ++index) {
    if (!requests.GetStringDescriptor(index, buffer)) {
      AddResponse("GET string descriptor FAILED.");
      return;
    }
    // bLength is at most 255, so the dump stays inside the 256-byte buffer.
    const unsigned length = buffer[0];
    for (unsigned offset = 0; offset < length; ++offset) {
      // A zero byte ends the line's text right after "- ", as the list takes C strings.
      AddResult(runtime::Format("Offset%3d: 0x%02X - %c", static_cast<int>(offset),
                                static_cast<unsigned>(buffer[offset]), static_cast<int>(buffer[offset])));
    }
    AddResult(driver::kSeparator);
  }
}
