#include "framework/dialog.h"

#include "framework/win_app.h"

namespace varnet::framework {

void DDX_Text(CDataExchange& dx, int id, std::string& value) {
  if (dx.m_bSaveAndValidate) {
    value = dx.m_host.GetWindowText(id);
  } else {
    dx.m_host.SetWindowText(id, value);
  }
}

void DDX_Check(CDataExchange& dx, int id, int& value) {
  if (dx.m_bSaveAndValidate) {
    value = dx.m_host.GetCheck(id);
  } else {
    dx.m_host.SetCheck(id, value);
  }
}

int CDialog::DoModal() {
  CWinApp* app = AfxGetApp();
  if (app == nullptr || app->Runner() == nullptr) {
    return -1;
  }
  return app->Runner()->RunModal(*this);
}

bool CDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

bool CDialog::OnCommand(int id, int notification) {
  for (const CommandEntry& entry : GetCommandTable()) {
    if (entry.id == id && entry.notification == notification) {
      entry.handler(*this);
      return true;
    }
  }
  return false;
}

void CDialog::OnOK() {
  if (!UpdateData(true)) {
    return;
  }
  EndDialog(kIdOk);
}

void CDialog::OnCancel() { EndDialog(kIdCancel); }

void CDialog::OnPaint() { host_->DefaultPaint(); }

bool CDialog::UpdateData(bool saveAndValidate) {
  CDataExchange dx(*host_, saveAndValidate);
  DoDataExchange(dx);
  return true;
}

void CDialog::EndDialog(int result) { host_->EndDialog(result); }

}  // namespace varnet::framework
