// The "EEPROM" group: one byte written or read at a time, and the status byte.
#include <optional>
#include <string>

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
  const std::optional<std::string> offsetText = FilledIn(ids::kEepromOffset, "Please fill in offset value.");
  if (!offsetText) {
    return;
  }
  const std::int32_t offset = runtime::StrtolHex(*offsetText);
  const std::optional<std::string> dataText = FilledIn(ids::kEepromData, "Please fill in data value.");
  if (!dataText) {
    return;
  }
  const std::int32_t data = runtime::StrtolHex(*dataText);
  driver::DriverRequests requests = Requests();
  AddResponse(requests.EepromWrite(offset, data) ? "EEPROM Write Successfully!" : "EEPROM Write FAILED.");
}

void CTestDlg::OnEepromReadData() {
  const std::optional<std::string> offsetText = FilledIn(ids::kEepromOffset, kFillInReadOffset);
  if (!offsetText) {
    return;
  }
  driver::DriverRequests requests = Requests();
  const std::optional<std::uint8_t> data = requests.EepromReadData(runtime::StrtolHex(*offsetText));
  if (!data) {
    AddResponse("EEPROM ReadData FAILED.");
    return;
  }
  AddResponse("EEPROM ReadData Successfully!");
  AddResult(runtime::Format("Data: 0x%02X", static_cast<unsigned>(*data)));
}

void CTestDlg::OnEepromReadStatus() {
  // The status request takes no offset; the box must still hold something.
  if (!FilledIn(ids::kEepromOffset, kFillInReadOffset)) {
    return;
  }
  driver::DriverRequests requests = Requests();
  const std::optional<std::uint8_t> status = requests.EepromReadStatus();
  if (!status) {
    AddResponse("EEPROM ReadStatus FAILED.");
    return;
  }
  AddResponse("EEPROM ReadStatus Successfully!");
  AddResult(runtime::Format("Status: 0x%02X", static_cast<unsigned>(*status)));
}
