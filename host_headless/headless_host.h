// The headless host: the dialog's controls modelled in memory from template 102, behaving as
// the Win32 controls do for what the program and a script can see. Used by the script runner
// and the tests.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/dialog_messages.h"
#include "framework/script_host.h"
#include "framework/win_app.h"
#include "resources/dialog_template.h"

namespace varnet::headless {

class HeadlessHost : public framework::DialogHost,
                     public framework::MessageQueue,
                     public framework::ScriptHost {
 public:
  // Connects itself to the application's message queue.
  explicit HeadlessHost(framework::CWinApp& app);
  ~HeadlessHost() override;

  // ScriptHost
  void Open(framework::CDialog& dialog) override;
  void Type(int id, const std::string& text) override;
  void Select(int id, int index) override;
  void Click(int id) override;
  void PressKey(framework::Key key) override;
  void ContextMenu(int id, bool chooseClear) override;
  void Enable(int id, bool enable) override;
  void Post(std::function<void()> action) override;
  void RunPendingMessages() override;
  framework::ControlState Show(int id) override;
  std::vector<std::string> Lines(int listId) override;
  bool Ended() const override { return messages_.Destroyed(); }
  void Close() override;

  // DialogHost
  std::string GetWindowText(int id) override;
  void SetWindowText(int id, const std::string& text) override;
  int GetCurSel(int id) override;
  void SetCurSel(int id, int index) override;
  std::string GetItemText(int id, int index) override;
  int GetCheck(int id) override;
  void SetCheck(int id, int state) override;
  void EnableWindow(int id, bool enable) override;
  bool IsWindowEnabled(int id) override;
  int AddString(int listId, const std::string& line) override;
  void SetListCurSel(int listId, int index) override;
  void ResetContent(int listId) override;
  void TrackPopupMenu(int menuId, framework::Point screenPoint) override;
  framework::IconHandle LoadIcon(int resourceId) override;
  void SetIcon(framework::IconHandle icon, bool big) override;
  bool IsIconic() override { return false; }
  framework::Size GetClientSize() override;
  framework::Size GetIconMetrics() override { return {32, 32}; }
  void PaintIcon(framework::IconHandle, int, int) override {}
  void DefaultPaint() override {}
  void EndDialog(int result) override;

  // MessageQueue
  bool PeekMessage() override;
  bool PumpMessage() override;
  void PostQuitMessage(int exitCode) override;

  // For tests: the current line of a list, the menu shown last, the icons set.
  int ListCurSel(int listId);
  int MenusShown() const { return menusShown_; }
  int ModalResult() const { return messages_.Result(); }

 private:
  struct Control {
    const resources::ControlDef* def = nullptr;
    std::string text;
    std::vector<std::string> items;
    int selection = -1;
    int check = 0;
    bool enabled = true;
    std::vector<std::string> lines;  // list boxes
    int current = -1;                // list boxes: LB_SETCURSEL
  };
  Control& At(int id);
  // After an action: the dialog's own messages, then a window destroyed by EndDialog.
  void FinishAction();

  framework::CWinApp& app_;
  framework::CDialog* dialog_ = nullptr;
  std::map<int, Control> controls_;
  framework::DialogMessages messages_;
  bool chooseClear_ = false;
  int menusShown_ = 0;
};

}  // namespace varnet::headless
