// Not built yet: every handler here does nothing.
#include "app/test_dlg.h"

void CTestDlg::OnDeviceDesc() {}
void CTestDlg::OnConfigDesc() {}
void CTestDlg::OnStringDesc() {}
