// The Qt host: dialog template 102 on real Qt widgets. It runs the dialog for the windowed
// program (ModalRunner) and for the script runner (ScriptHost), and keeps the window thread's
// message queue: the messages Windows would post to the dialog (a menu's command, a posted
// script action, the quit request) in a queue of its own, and one round of Qt's event
// processing counted as one more message.
#pragma once

#include <QEventLoop>
#include <QFont>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/dialog_messages.h"
#include "framework/script_host.h"
#include "framework/win_app.h"
#include "host_qt/dialog_units.h"
#include "host_qt/dialog_window.h"
#include "resources/dialog_template.h"

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QStyle;

namespace varnet::qt {

class ListBox;

class QtHost final : public framework::DialogHost,
                     public framework::MessageQueue,
                     public framework::ModalRunner,
                     public framework::ScriptHost,
                     private WindowEvents {
 public:
  // Connects itself to the application's message queue and to its cross-thread calls. A
  // QApplication must exist.
  explicit QtHost(framework::CWinApp& app);
  ~QtHost() override;
  QtHost(const QtHost&) = delete;
  QtHost& operator=(const QtHost&) = delete;

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
  bool IsIconic() override;
  framework::Size GetClientSize() override;
  framework::Size GetIconMetrics() override { return {32, 32}; }
  // The window manager draws a minimised window's icon from the window icon.
  void PaintIcon(framework::IconHandle, int, int) override {}
  void DefaultPaint() override {}
  void EndDialog(int result) override;

  // MessageQueue
  bool PeekMessage() override;
  bool PumpMessage() override;
  void PostQuitMessage(int exitCode) override;

  // For tests, the screenshot and the benchmark.
  DialogWindow* Window() const { return window_.get(); }
  QWidget* Widget(int id);
  BaseUnits Units() const { return units_; }
  int ListCurSel(int listId);
  int ModalResult() const { return messages_.Result(); }
  // Brings both lists' views up to date now.
  void UpdateListViews();

 private:
  struct Control {
    const resources::ControlDef* def = nullptr;
    QWidget* widget = nullptr;
    QAbstractButton* button = nullptr;
    QLineEdit* edit = nullptr;  // an edit box, or the edit field of the editable combo box
    QComboBox* combo = nullptr;
    ListBox* list = nullptr;
  };

  // Builds the window and its controls from the template and runs OnInitDialog.
  void CreateWindow(framework::CDialog& dialog);
  void CreateControl(const resources::ControlDef& def);
  QWidget* CreateStatic(const resources::ControlDef& def);
  QAbstractButton* CreateButton(const resources::ControlDef& def);
  QLineEdit* CreateEdit(const resources::ControlDef& def);
  QComboBox* CreateComboBox(const resources::ControlDef& def);
  ListBox* CreateListBox(const resources::ControlDef& def);
  // The template's rectangle, state and tab stop; a frame beneath its controls.
  void PlaceControl(const resources::ControlDef& def, QWidget& widget);
  void CheckRadioButton(int id);
  Control& At(int id);
  QWidget* FirstTabStop();

  // A control's notification, as the dialog's window procedure receives it.
  void Notify(int id, int notification);
  // After a handler: the dialog's own messages, then the end of the modal run or the window.
  void FinishAction();

  // WindowEvents
  void OnDefaultCommand() override;
  void OnCancelCommand() override;
  void OnContextMenuRequest(int id, QPoint screenPoint) override;

  framework::CWinApp& app_;
  framework::CDialog* dialog_ = nullptr;
  std::unique_ptr<DialogWindow> window_;
  std::unique_ptr<QStyle> style_;
  QFont font_;
  BaseUnits units_;
  std::map<int, Control> controls_;
  std::map<framework::IconHandle, QIcon> icons_;
  framework::DialogMessages messages_;
  bool roundDone_ = false;                  // this pump has had its round of Qt events
  std::optional<bool> scriptedMenuChoice_;  // a script's answer to the next menu
  QEventLoop* modalLoop_ = nullptr;
};

}  // namespace varnet::qt
