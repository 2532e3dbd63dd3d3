// The "EEPROM" group: one byte written or read at a time, and the status byte.
#include "app/test_dlg.h"
#include "protocol/request_layouts.h"
#include "resources/control_ids.h"
#include "runtime/format.h"
#include "runtime/numbers.h"

using namespace varnet;

namespace {

// The two reads word their missing offset differently from Write.
constexpr std::string_view kFillInReadOffset = "Please fill in OFFSET value";

}  // namespace

void CTestDlg::OnEepromWrite() {
  const std::string offsetText = Host().GetWindowText(ids::kEepromOffset);
  if (offsetText.empty()) {
    AddResponse("Please fill in offset value.");
    return;
  }
  const std::int32_t offset = runtime::StrtolHex(offsetText);
  const std::string dataText = Host().GetWindowText(ids::kEepromData);
  if (dataText.empty()) {
    AddResponse("Please fill in data value.");
    return;
  }
  const std::int32_t data = runtime::StrtolHex(dataText);
  driver::DriverRequests requests(m_platform.driver, m_hDriver);
  AddResponse(requests.EepromWrite(offset, data) ? "EEPROM Write Successfully!" : "EEPROM Write FAILED.");
}

void CTestDlg::OnEepromReadData() {
  const std::string offsetText = Host().GetWindowText(ids::kEepromOffset);
  if (offsetText.empty()) {
    AddResponse(kFillInReadOffset);
    return;
  }
  driver::DriverRequests requests(m_platform.driver, m_hDriver);
  const std::optional<std::uint8_t> data = requests.EepromReadData(runtime::StrtolHex(offsetText));
  if (!data) {
    AddResponse("EEPROM ReadData FAILED.");
    return;
  }
  AddResponse("EEPROM ReadData Successfully!");
  AddResult(runtime::Format("Data: 0x%02X", static_cast<unsigned>(*data)));
}

void CTestDlg::OnEepromReadStatus() {
  // The status request takes no offset; the box must still hold something.
  if (Host().GetWindowText(ids::kEepromOffset).empty()) {
    AddResponse(kFillInReadOffset);
    return;
  }
  driver::DriverRequests requests(m_platform.driver, m_hDriver);
  const std::optional<std::uint8_t> status = requests.EepromReadStatus();
  if (!status) {
    AddResponse("EEPROM ReadStatus FAILED.");
    return;
  }
  AddResponse("EEPROM ReadStatus Successfully!");
  AddResult(runtime::Format("Status: 0x%02X", static_cast<unsigned>(*status)));
}
