// Not built yet: every handler here does nothing.
#include "app/test_dlg.h"

void CTestDlg::OnSetCommand() {}
void CTestDlg::OnGetCommand() {}
void CTestDlg::OnSetLineState() {}
void CTestDlg::OnSetFeature() {}
void CTestDlg::OnGetFeature() {}
void CTestDlg::OnClearFeature() {}
