// The dialog window's own message queue, for hosts whose toolkit has none that a dialog can
// use as Windows does (headless, Qt): the commands a control or a menu posts, the actions a
// script keeps for a handler's message pump, and the quit request; and the end of every action
// as the modal loop sees it: once the outermost handler has returned, the dialog's own commands
// run, and a dialog that has ended closes.
#pragma once

#include <deque>
#include <functional>

#include "framework/dialog.h"
#include "framework/handler_depth.h"

namespace varnet::framework {

class DialogMessages {
 public:
  // A new window of `dialog`: nothing queued, not ended.
  void Reset(CDialog& dialog);

  // Runs `fn` as a handler of the dialog (OnInitDialog, OnOK, a notification ...).
  template <typename Fn>
  void RunHandler(Fn&& fn) {
    const HandlerDepth::Scope scope = depth_.Enter();
    fn();
  }
  // A control's notification, handled at once (WM_COMMAND sent, not posted).
  void SendCommand(int id, int notification);

  // Queued for later: a command (as Windows posts WM_COMMAND after a menu closes), an action
  // for the next handler that pumps messages, the quit request.
  void PostCommand(int id, int notification);
  void PostAction(std::function<void()> action);
  void PostQuit();

  bool HasMessage() const { return !queue_.empty(); }
  enum class Pumped { Nothing, Ran, Quit };
  // Takes the oldest message and carries it out.
  Pumped PumpOne();

  // After an action: unless a handler is still running, the dialog's own commands (posted
  // actions wait for a handler that pumps). Returns true when the dialog has ended and its
  // window is still to be closed.
  bool FinishAction();

  void EndDialog(int result);
  bool Ending() const { return ending_; }
  int Result() const { return result_; }
  bool Destroyed() const { return destroyed_; }
  // The window goes: drops what is queued and runs OnDestroy as a handler. False when it has
  // gone already (or never came).
  bool Destroy();

 private:
  enum class Kind { Command, Posted, Quit };
  struct Message {
    Kind kind;
    int id = 0;
    int notification = 0;
    std::function<void()> action;
  };

  void Dispatch(Message message);

  CDialog* dialog_ = nullptr;
  std::deque<Message> queue_;
  HandlerDepth depth_;
  bool ending_ = false;
  bool destroyed_ = false;
  int result_ = 0;
};

}  // namespace varnet::framework
