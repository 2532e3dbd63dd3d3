#include "framework/dialog_messages.h"

#include <algorithm>

namespace varnet::framework {

void DialogMessages::Reset(CDialog& dialog) {
  dialog_ = &dialog;
  queue_.clear();
  ending_ = false;
  destroyed_ = false;
  result_ = 0;
}

void DialogMessages::SendCommand(int id, int notification) {
  Dispatch({Kind::Command, id, notification, {}});
}

void DialogMessages::PostCommand(int id, int notification) {
  queue_.push_back({Kind::Command, id, notification, {}});
}

void DialogMessages::PostAction(std::function<void()> action) {
  queue_.push_back({Kind::Posted, 0, 0, std::move(action)});
}

void DialogMessages::PostQuit() { queue_.push_back({Kind::Quit, 0, 0, {}}); }

DialogMessages::Pumped DialogMessages::PumpOne() {
  if (queue_.empty()) {
    return Pumped::Nothing;
  }
  Message message = std::move(queue_.front());
  queue_.pop_front();
  if (message.kind == Kind::Quit) {
    return Pumped::Quit;
  }
  Dispatch(std::move(message));
  return Pumped::Ran;
}

bool DialogMessages::FinishAction() {
  // Inside a handler (an action carried out by a handler's message pump) the handler's own pump
  // goes on; the modal loop takes over only when the outermost handler has returned.
  if (depth_.InHandler() || destroyed_) {
    return false;
  }
  // The modal loop goes on with the dialog's own messages; posted actions wait for a handler
  // that pumps.
  while (!destroyed_) {
    const auto command = std::find_if(queue_.begin(), queue_.end(),
                                      [](const Message& message) { return message.kind == Kind::Command; });
    if (command == queue_.end()) {
      break;
    }
    Message message = std::move(*command);
    queue_.erase(command);
    Dispatch(std::move(message));
  }
  return ending_ && !destroyed_;
}

void DialogMessages::EndDialog(int result) {
  result_ = result;
  ending_ = true;
}

bool DialogMessages::Destroy() {
  if (destroyed_ || dialog_ == nullptr) {
    return false;
  }
  destroyed_ = true;
  queue_.clear();
  // WM_DESTROY comes while the controls still exist: the monitor's last lines still reach them.
  RunHandler([this] { dialog_->OnDestroy(); });
  return true;
}

void DialogMessages::Dispatch(Message message) {
  const HandlerDepth::Scope scope = depth_.Enter();
  switch (message.kind) {
    case Kind::Command:
      dialog_->OnCommand(message.id, message.notification);
      break;
    case Kind::Posted:
      message.action();
      break;
    case Kind::Quit:
      break;
  }
}

}  // namespace varnet::framework
