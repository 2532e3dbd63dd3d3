// Write Data and Read Data: one block over the open port.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/block_length.h"
#include "app/test_dlg.h"
#include "protocol/test_pattern.h"
#include "resources/control_ids.h"
#include "runtime/format.h"
#include "runtime/numbers.h"
#include "serial/transfer_waits.h"

using namespace varnet;

void CTestDlg::OnWriteData() {
  UpdateData(true);
  if (m_hComPort == kInvalidHandle) {
    AddResponse("Choose a COM port to write data.");
    return;
  }
  const std::optional<std::string> lengthText = FilledIn(ids::kLen, "Please fill in data length.");
  if (!lengthText) {
    return;
  }
  std::optional<std::vector<std::uint8_t>> block = BlockForLength(*lengthText);
  if (!block) {
    AddResponse(kLengthOutOfRange);
    return;
  }
  const PatternChoice choice{m_bRand != 0, m_bFix != 0,
                             static_cast<std::uint8_t>(runtime::StrtolHex(m_strFixValue) & 0xFF)};
  FillTestPattern(*block, choice);
  const DWORD written = m_platform.serial.WriteBlock(m_hComPort, *block, kWriteWaitMs);
  AddResponse(runtime::Format("WRITE %ld bytes Successfully!", static_cast<long>(written)));
}

void CTestDlg::OnReadData() {
  if (m_hComPort == kInvalidHandle) {
    AddResponse("Choose a COM port to read data.");
    return;
  }
  const std::optional<std::string> lengthText = FilledIn(ids::kLen, "Please fill in data length.");
  if (!lengthText) {
    return;
  }
  std::optional<std::vector<std::uint8_t>> buffer = BlockForLength(*lengthText);
  if (!buffer) {
    AddResponse(kLengthOutOfRange);
    return;
  }
  const DWORD received = m_platform.serial.ReadBlock(m_hComPort, *buffer, kReadWaitMs);
  const std::span<const std::uint8_t> bytes(buffer->data(), std::min<std::size_t>(received, buffer->size()));
  for (std::size_t k = 0; k < bytes.size(); ++k) {
    AddResult(runtime::Format("Data%d: 0x%02X", static_cast<int>(k + 1), static_cast<unsigned>(bytes[k])));
  }
  if (m_bLog != 0 && m_pLogFile && !bytes.empty()) {
    m_pLogFile->Write(bytes);
  }
  if (!bytes.empty()) {
    AddResponse(runtime::Format("READ %ld bytes Successfully!", static_cast<long>(bytes.size())));
  } else {
    AddResponse("READ data FAILED.");
  }
}
