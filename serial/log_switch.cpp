// The log switch: a raw log of the bytes Read Data receives, in "c:\4618div".
#include "app/test_dlg.h"
#include "resources/control_ids.h"

using namespace varnet;

void CTestDlg::OnLog() {
  if (m_hComPort == kInvalidHandle) {
    AddResponse("Choose a COM port to log file.");
    return;
  }
  if (m_bLog == 0) {
    m_pLogFile = m_platform.files.Open("c:\\4618div", "ab");
    // Without a file the switch stays off: Read Data then writes nothing and switching off
    // later closes nothing.
    if (!m_pLogFile) {
      AddResponse("Log file cannot be opened.");
      return;
    }
    Host().SetCheck(ids::kLog, 1);
    m_bLog = 1;
    AddResponse("Log file ON");
    return;
  }
  m_pLogFile.reset();
  Host().SetCheck(ids::kLog, 0);
  m_bLog = 0;
  AddResponse("Log file OFF");
}
