// What the script runner needs of a host: the dialog's window with its real controls, driven as
// a person would drive them. The headless host models the controls; the Qt and Win32 hosts
// drive their real widgets. A difference in output between hosts is a fault of a host.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/dialog.h"

namespace varnet::framework {

enum class Key { Enter, Escape };

struct ControlState {
  std::string text;
  int check = 0;
  bool enabled = true;
  bool isComboBox = false;
  int selection = -1;
};

class ScriptHost {
 public:
  virtual ~ScriptHost() = default;

  // Creates the window of the dialog from its template and runs OnInitDialog.
  virtual void Open(CDialog& dialog) = 0;

  // Dialog actions, each carried out as the window would carry it out for a person, up to and
  // including the handler it starts. Messages the action leaves in the window's own queue (a
  // menu's command) are handled before the call returns.
  virtual void Type(int id, const std::string& text) = 0;
  virtual void Select(int id, int index) = 0;
  virtual void Click(int id) = 0;
  virtual void PressKey(Key key) = 0;
  virtual void ContextMenu(int id, bool chooseClear) = 0;
  virtual void Enable(int id, bool enable) = 0;

  // Keeps an action for the next time a handler on the window's thread pumps messages.
  virtual void Post(std::function<void()> action) = 0;

  // Handles what is waiting for the window's thread other than posted actions: calls handed
  // over by other threads (the monitor's lines) and the window's own messages.
  virtual void RunPendingMessages() = 0;

  virtual ControlState Show(int id) = 0;
  virtual std::vector<std::string> Lines(int listId) = 0;

  // The dialog has ended (Enter or Escape) and its window is gone.
  virtual bool Ended() const = 0;
  // Destroys the window if it still exists.
  virtual void Close() = 0;
};

}  // namespace varnet::framework
