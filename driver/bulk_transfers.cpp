// The "Transfer" group: one interrupt report, and bulk blocks written and read.
#include <optional>
#include <string>
#include "app/block_length.h"

#include "app/test_dlg.h"
#include "protocol/request_layouts.h"
#include "resources/control_ids.h"
#include "runtime/format.h"
#include "runtime/numbers.h"

using namespace varnet;

void CTestDlg::OnReadInterrupt() {
  driver::DriverRequests requests = Requests();
  const std::optional<driver::InterruptReport> report = requests.ReadInterrupt();
  if (!report) {
    AddResponse("READ interrupt FAILED.");
    return;
  }
  AddResponse("READ interrupt Successfully!");
  // All ten bytes, whatever count the driver returned: the buffer was zeroed before.
  for (std::size_t i = 0; i < report->size(); ++i) {
    AddResult(
        runtime::Format("Int Data%d: 0x%02X", static_cast<int>(i), static_cast<unsigned>((*report)[i])));
  }
}

void CTestDlg::OnWriteBulk() {
  const std::optional<std::string> dataText = FilledIn(ids::kBulkData, "Please fill in DATA.");
  if (!dataText) {
    return;
  }
  const auto data = static_cast<std::uint8_t>(runtime::StrtolHex(*dataText) & 0xFF);
  const std::optional<std::string> lenText = FilledIn(ids::kBulkLen, "Please fill in LEN.");
  if (!lenText) {
    return;
  }
  std::optional<std::vector<std::uint8_t>> block = BlockForLength(*lenText);
  if (!block) {
    AddResponse(kLengthOutOfRange);
    return;
  }
  for (std::size_t i = 0; i < block->size(); ++i) {
    (*block)[i] = m_bIncrement == 1 ? static_cast<std::uint8_t>(data + i) : data;
  }
  driver::DriverRequests requests = Requests();
  AddResponse(requests.WriteBulk(*block) ? "WRITE bulk Successfully!" : "WRITE bulk FAILED.");
}

void CTestDlg::OnReadBulk() {
  const std::optional<std::string> lenText = FilledIn(ids::kBulkLen, "Please fill in LEN.");
  if (!lenText) {
    return;
  }
  std::optional<std::vector<std::uint8_t>> block = BlockForLength(*lenText);
  if (!block) {
    AddResponse(kLengthOutOfRange);
    return;
  }
  driver::DriverRequests requests = Requests();
  const std::optional<std::size_t> received = requests.ReadBulk(*block);
  if (!received) {
    AddResponse("READ bulk FAILED.");
    return;
  }
  if (*received == 0) {
    AddResponse("READ bulk Successfully BUT length is ZERO");
    return;
  }
  AddResponse("READ bulk Successfully!");
  for (std::size_t i = 0; i < *received; ++i) {
    AddResult(
        runtime::Format("Bulk Data%d: 0x%02X", static_cast<int>(i), static_cast<unsigned>((*block)[i])));
  }
}
