// Not built yet: every handler here does nothing.
#include "app/test_dlg.h"

void CTestDlg::OnReadInterrupt() {}
void CTestDlg::OnWriteBulk() {}
void CTestDlg::OnReadBulk() {}
