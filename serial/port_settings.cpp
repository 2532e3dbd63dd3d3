// Set Port Status and Get Port Status: the line settings of the open port.
#include <cstdint>
#include <string>

#include "app/test_dlg.h"
#include "resources/control_ids.h"
#include "runtime/format.h"
#include "runtime/numbers.h"

using namespace varnet;

namespace {

// A port should never report values outside these lists; if one does, the number itself is
// shown rather than a name that would hide it.
std::string ParityName(std::uint8_t parity) {
  static constexpr const char* kNames[] = {"None", "Odd", "Even", "Mark", "Space"};
  if (parity < std::size(kNames)) {
    return kNames[parity];
  }
  return std::to_string(parity);
}

std::string StopBitsName(std::uint8_t stopBits) {
  static constexpr const char* kNames[] = {"1", "1.5", "2"};
  if (stopBits < std::size(kNames)) {
    return kNames[stopBits];
  }
  return std::to_string(stopBits);
}

}  // namespace

void CTestDlg::OnSetPortStatus() {
  if (m_hComPort == kInvalidHandle) {
    AddResponse("Choose a COM port to set status.");
    return;
  }
  if (!m_platform.serial.GetCommState(m_hComPort, m_dcb)) {
    AddResponse("SET port status FAILED because cannot get status.");
    return;
  }
  m_dcb.BaudRate = runtime::DecimalToDword(Host().GetWindowText(ids::kBaudRate));
  const int sizeIndex = Host().GetCurSel(ids::kDataBits);
  const std::string sizeText = sizeIndex < 0 ? std::string() : Host().GetItemText(ids::kDataBits, sizeIndex);
  m_dcb.ByteSize = static_cast<std::uint8_t>(runtime::DecimalToDword(sizeText));
  m_dcb.StopBits = static_cast<std::uint8_t>(Host().GetCurSel(ids::kStopBits));
  m_dcb.Parity = static_cast<std::uint8_t>(Host().GetCurSel(ids::kParity));

  // One and a half stop bits exist only for 5 data bits, and two only for 6 to 8; with 5 data
  // bits the adapter's driver takes the stop-bit choice one step higher.
  if ((m_dcb.ByteSize == 6 || m_dcb.ByteSize == 7 || m_dcb.ByteSize == 8) && m_dcb.StopBits == 1) {
    AddResponse("ERROR - CANNOT set such combination.");
    return;
  }
  if (m_dcb.ByteSize == 5) {
    if (m_dcb.StopBits == 2) {
      AddResponse("ERROR - CANNOT set such combination.");
      return;
    }
    m_dcb.StopBits = static_cast<std::uint8_t>(m_dcb.StopBits + 1);
  }

  if (m_platform.serial.SetCommState(m_hComPort, m_dcb)) {
    AddResponse("SET port status Successfully!");
  } else {
    AddResponse("SET port status FAILED.");
  }
}

void CTestDlg::OnGetPortStatus() {
  if (m_hComPort == kInvalidHandle) {
    AddResponse("Choose a COM port to get status.");
    return;
  }
  if (!m_platform.serial.GetCommState(m_hComPort, m_dcb)) {
    AddResponse("GET port status FAILED.");
    return;
  }
  // Undo the 5-data-bit coding of Set Port Status, so that both show the same choice.
  if (m_dcb.ByteSize == 5 && m_dcb.StopBits != 0) {
    m_dcb.StopBits = static_cast<std::uint8_t>(m_dcb.StopBits - 1);
  }
  AddResult(runtime::Format("BaudRate: %ld", static_cast<long>(static_cast<std::int32_t>(m_dcb.BaudRate))));
  AddResult(runtime::Format("Parity: %s", ParityName(m_dcb.Parity).c_str()));
  AddResult(runtime::Format("ByteSize: %d", static_cast<int>(m_dcb.ByteSize)));
  AddResult(runtime::Format("StopBits: %s", StopBitsName(m_dcb.StopBits).c_str()));
  AddResult("------------------------------------------");
}
