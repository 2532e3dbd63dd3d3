#include <string>

#include "app/test_dlg.h"
#include "framework/win_app.h"
#include "resources/control_ids.h"
#include "resources/dialog_template.h"
#include "runtime/format.h"

using namespace varnet;

int g_nContextList = 0;

void CTestDlg::AppendAndSelect(int listId, std::string_view line) {
  // A list takes a C string: a line with a zero byte ends there.
  const std::string text(line.substr(0, line.find('\0')));
  const std::function<void()> append = [&] {
    const int index = Host().AddString(listId, text);
    Host().SetListCurSel(listId, index);
  };
  // From the monitor thread this waits until the window's thread has appended the line.
  framework::AfxGetApp()->Calls().Call(append);
}

void CTestDlg::AddResponse(std::string_view line) { AppendAndSelect(ids::kCommandResponseList, line); }

void CTestDlg::AddResult(std::string_view line) { AppendAndSelect(ids::kResultList, line); }

std::optional<std::string> CTestDlg::FilledIn(int id, std::string_view missing) {
  std::string text = Host().GetWindowText(id);
  if (text.empty()) {
    AddResponse(missing);
    return std::nullopt;
  }
  return text;
}

void CTestDlg::AddResultValue(std::int32_t value, std::string_view name) {
  const std::string nameText(name);
  AddResult(runtime::Format("%s: 0x%02X", nameText.c_str(), static_cast<unsigned>(value)));
}

void CTestDlg::OnContextMenu(int windowId, framework::Point screenPoint) {
  const bool overList = windowId == ids::kResultList || windowId == ids::kCommandResponseList;
  if (overList) {
    Host().TrackPopupMenu(resources::kContextMenuId, screenPoint);
  }
  if (windowId == ids::kResultList) {
    g_nContextList = 1;
  } else if (windowId == ids::kCommandResponseList) {
    g_nContextList = 2;
  }
}

void CTestDlg::OnClear() {
  if (g_nContextList == 1) {
    Host().ResetContent(ids::kResultList);
  } else if (g_nContextList == 2) {
    Host().ResetContent(ids::kCommandResponseList);
  }
}

void CTestDlg::OnClearAll() {
  Host().ResetContent(ids::kResultList);
  Host().ResetContent(ids::kCommandResponseList);
}

bool CTestDlg::PumpMessages() {
  framework::CWinApp* app = framework::AfxGetApp();
  while (app->PeekMessage()) {
    if (!app->PumpMessage()) {
      app->PostQuitMessage(0);
      return false;
    }
  }
  long idleCount = 0;
  while (app->OnIdle(idleCount++)) {
  }
  return true;
}
