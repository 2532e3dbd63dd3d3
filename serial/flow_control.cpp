// Not built yet: every handler here does nothing.
#include "app/test_dlg.h"

void CTestDlg::OnDtr() {}
void CTestDlg::OnRts() {}
void CTestDlg::OnHardwareFlow() {}
void CTestDlg::OnSoftwareFlow() {}
void CTestDlg::OnNoFlow() {}
void CTestDlg::SetHardwareFlowControl() {}
void CTestDlg::SetSoftwareFlowControl() {}
void CTestDlg::DisableFlowControl() {}
void CTestDlg::SetDtr(bool /*on*/) {}
void CTestDlg::SetRts(bool /*on*/) {}
