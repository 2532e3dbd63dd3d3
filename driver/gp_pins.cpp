// Not built yet: every handler here does nothing.
#include "app/test_dlg.h"

void CTestDlg::OnGp0OutputEnable() {}
void CTestDlg::OnGp0GetValue() {}
void CTestDlg::OnGp0SetValue() {}
void CTestDlg::OnGp1OutputEnable() {}
void CTestDlg::OnGp1GetValue() {}
void CTestDlg::OnGp1SetValue() {}
