// The driver channel: the handle on which the vendor driver's requests travel.
#include <string>

#include "app/test_dlg.h"
#include "protocol/request_layouts.h"
#include "resources/control_ids.h"

using namespace varnet;

void CTestDlg::OnOpenDrv() {
  // On the NT family the channel only borrows the COM port's handle: nothing to close here.
  if (m_bWinNT == 0 && m_hDriver != kInvalidHandle) {
    m_platform.driver.CloseDriver(m_hDriver);
  }
  m_hDriver = kInvalidHandle;

  if (m_bWinNT == 1) {
    if (m_hComPort != kInvalidHandle) {
      m_hDriver = m_hComPort;
      AddResponse("Open USB port successfully!");
    } else {
      AddResponse("Open COM port first!");
    }
    return;
  }

  const std::string path = "\\\\.\\" + Host().GetWindowText(ids::kDriverName);
  m_hDriver = m_platform.driver.OpenDriver(path);
  AddResponse(std::string("OPEN USB driver ") + (m_hDriver != kInvalidHandle ? "Successfully!" : "FAILED."));
}

void CTestDlg::OnCloseDrv() {
  if (m_bWinNT == 1) {
    m_hDriver = kInvalidHandle;
    return;
  }
  if (m_hDriver == kInvalidHandle) {
    return;
  }
  m_platform.driver.CloseDriver(m_hDriver);
  m_hDriver = kInvalidHandle;
  AddResponse("Close USB port Successfully!");
}

driver::DriverRequests CTestDlg::Requests() { return driver::DriverRequests(m_platform.driver, m_hDriver); }
