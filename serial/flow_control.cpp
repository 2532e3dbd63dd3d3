// Flow control and the modem control lines DTR and RTS.
#include "app/test_dlg.h"
#include "resources/control_ids.h"
#include "serial/flow_masks.h"

using namespace varnet;

namespace {

// Refreshes the DCB from the port, changes only the flow bits of the routine and writes it back.
// Every other field keeps what the port reported, so that the line settings are not disturbed.
void RunFlowRoutine(CTestDlg& dlg, SerialApi& serial, const FlowMasks& masks, std::string_view success) {
  if (dlg.m_hComPort == kInvalidHandle) {
    dlg.AddResponse("Choose a COM port first!");
    return;
  }
  if (!serial.GetCommState(dlg.m_hComPort, dlg.m_dcb)) {
    dlg.AddResponse("GET port status FAILED.");
    return;
  }
  dlg.m_dcb.flags = ApplyFlowMasks(dlg.m_dcb.flags, masks);
  if (serial.SetCommState(dlg.m_hComPort, dlg.m_dcb)) {
    dlg.AddResponse(success);
  } else {
    dlg.AddResponse("Set flow control FAILED.");
  }
}

}  // namespace

void CTestDlg::SetHardwareFlowControl() {
  RunFlowRoutine(*this, m_platform.serial, kHardwareFlow, "Set hardware flow control successfully!");
}

void CTestDlg::SetSoftwareFlowControl() {
  RunFlowRoutine(*this, m_platform.serial, kSoftwareFlow, "Set software flow control successfully!");
}

void CTestDlg::DisableFlowControl() {
  RunFlowRoutine(*this, m_platform.serial, kNoFlow, "Disable any flow control successfully!");
}

void CTestDlg::OnHardwareFlow() { SetHardwareFlowControl(); }
void CTestDlg::OnSoftwareFlow() { SetSoftwareFlowControl(); }
void CTestDlg::OnNoFlow() { DisableFlowControl(); }

// The escape function fails while the line is under handshake control; the box, the flag and
// the line still follow the request, so that the user sees what was asked for.
void CTestDlg::SetDtr(bool on) {
  if (m_hComPort == kInvalidHandle) {
    AddResponse("Choose a COM port to set/clear DTR.");
    return;
  }
  m_platform.serial.EscapeCommFunction(m_hComPort, on ? EscapeFunction::SetDtr : EscapeFunction::ClrDtr);
  Host().SetCheck(ids::kDtr, on ? 1 : 0);
  m_bDtr = on ? 1 : 0;
  AddResponse(on ? "SET DTR" : "CLEAR DTR");
}

void CTestDlg::SetRts(bool on) {
  if (m_hComPort == kInvalidHandle) {
    AddResponse("Choose a COM port to set/clear RTS.");
    return;
  }
  m_platform.serial.EscapeCommFunction(m_hComPort, on ? EscapeFunction::SetRts : EscapeFunction::ClrRts);
  Host().SetCheck(ids::kRts, on ? 1 : 0);
  m_bRts = on ? 1 : 0;
  AddResponse(on ? "SET RTS" : "CLEAR RTS");
}

void CTestDlg::OnDtr() {
  m_bDtr = m_bDtr == 0 ? 1 : 0;
  SetDtr(m_bDtr != 0);
}

void CTestDlg::OnRts() {
  m_bRts = m_bRts == 0 ? 1 : 0;
  SetRts(m_bRts != 0);
}
