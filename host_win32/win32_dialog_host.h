// The dialog's real window and controls, created from template 102 in the program's resources.
// One class serves the windowed program (as the modal runner) and the script runner (as a
// script host driving the same controls by the messages a person's actions produce).
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/handler_depth.h"
#include "framework/script_host.h"
#include "framework/win_app.h"
#include "platform_win32/windows_api.h"

namespace varnet::win32 {

class Win32DialogHost : public framework::DialogHost,
                        public framework::MessageQueue,
                        public framework::ModalRunner,
                        public framework::ScriptHost {
 public:
  // scripted: the window is driven by a script (menus are answered by the script, not tracked).
  Win32DialogHost(framework::CWinApp& app, bool scripted);
  ~Win32DialogHost() override;
  Win32DialogHost(const Win32DialogHost&) = delete;
  Win32DialogHost& operator=(const Win32DialogHost&) = delete;

  // ModalRunner
  int RunModal(framework::CDialog& dialog) override;

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
  bool Ended() const override { return destroyed_; }
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
  bool IsIconic() override;
  framework::Size GetClientSize() override;
  framework::Size GetIconMetrics() override;
  void PaintIcon(framework::IconHandle icon, int x, int y) override;
  void DefaultPaint() override;
  void EndDialog(int result) override;

  // MessageQueue
  bool PeekMessage() override;
  bool PumpMessage() override;
  void PostQuitMessage(int exitCode) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool Create(framework::CDialog& dialog);
  void InitControls();
  HWND Control(int id) const;
  void Dispatch(MSG& message);
  // After a script action: the window's own messages, then the window's end if the dialog
  // asked for it. Inside a handler this is the handler's business.
  void FinishAction();
  // What typing text gives in an edit control of edit's filters whose text may scroll.
  std::string TypedWithoutWidthLimit(HWND edit, const std::string& text);
  // The window's own messages that are waiting, without the script's posted actions.
  void RunOwnMessages();
  // Makes each list's newest line current and in view and lets the lists paint again: called
  // wherever the window may paint next (a handler returning, a pump, a modal loop starting).
  void ShowNewestLines();
  void KeepFinalLines();

  // A list box during a burst of lines: it does not redraw and is scrolled once, at the next
  // point where the window can paint, rather than once a line.
  static constexpr LRESULT kListStorageStep = 1024;
  struct ListState {
    bool redrawOff = false;
    bool currentPending = false;
    int current = -1;
    LRESULT count = 0;
    LRESULT capacity = 0;     // lines the list can take before it must grow its storage
    std::size_t longest = 0;  // bytes of the longest line the list holds, at most
  };
  ListState& StateOf(int listId) { return lists_[listId]; }

  framework::CWinApp& app_;
  const bool scripted_;
  HINSTANCE instance_;
  HWND window_ = nullptr;
  framework::CDialog* dialog_ = nullptr;
  framework::HandlerDepth depth_;
  bool ending_ = false;
  bool destroyed_ = false;
  int result_ = -1;
  bool defaultPaint_ = false;
  bool chooseClear_ = false;
  std::map<LPARAM, std::function<void()>> posted_;
  LPARAM nextPosted_ = 1;
  std::map<int, HWND> controls_;  // the template's controls, found once
  std::map<int, ListState> lists_;
  bool linesPending_ = false;
  // The lists' lines as the window left them, for a script that asks once the dialog has ended.
  std::map<int, std::vector<std::string>> finalLines_;
};

}  // namespace varnet::win32
