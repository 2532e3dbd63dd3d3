#include "app/test_app.h"

#include "app/test_dlg.h"

bool CTestApp::InitInstance() {
  // Registering the common controls and the control container belong to the Win32 host, which
  // does them before it creates any window.
  CWinApp::InitInstance();
  if (m_platform != nullptr) {
    CTestDlg dlg(*m_platform);
    dlg.DoModal();
  }
  // The application ends instead of running a message loop of its own.
  return false;
}
