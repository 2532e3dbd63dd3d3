// Not built yet: every handler here does nothing.
#include "app/test_dlg.h"

void CTestDlg::OnEepromWrite() {}
void CTestDlg::OnEepromReadData() {}
void CTestDlg::OnEepromReadStatus() {}
