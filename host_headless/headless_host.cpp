#include "host_headless/headless_host.h"

#include <stdexcept>

namespace varnet::headless {

using resources::ControlKind;

HeadlessHost::HeadlessHost(framework::CWinApp& app) : app_(app) { app_.AttachMessageQueue(this); }

HeadlessHost::~HeadlessHost() { app_.AttachMessageQueue(nullptr); }

void HeadlessHost::Open(framework::CDialog& dialog) {
  dialog_ = &dialog;
  controls_.clear();
  for (const resources::ControlDef& def : resources::MainDialog().controls) {
    if (def.id == resources::kStaticId) {
      continue;
    }
    Control& control = controls_[def.id];
    control.def = &def;
    control.enabled = (def.style & resources::kDisabled) == 0;
    if (resources::IsButton(def.kind)) {
      control.text = std::string(def.caption);
    }
    for (std::string_view item : def.items) {
      control.items.emplace_back(item);
    }
  }
  dialog.Attach(this);
  ++depth_;
  dialog.OnInitDialog();
  --depth_;
  FinishAction();
}

HeadlessHost::Control& HeadlessHost::At(int id) {
  auto found = controls_.find(id);
  if (found == controls_.end()) {
    throw std::out_of_range("no control " + std::to_string(id));
  }
  return found->second;
}

// --- Script actions -------------------------------------------------------------------------

void HeadlessHost::Type(int id, const std::string& text) {
  Control& control = At(id);
  if (!control.enabled) {
    return;
  }
  std::string filtered;
  for (char c : text) {
    if ((control.def->style & resources::kDigitsOnly) != 0 && (c < '0' || c > '9')) {
      continue;
    }
    if ((control.def->style & resources::kUpperCase) != 0 && c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
    filtered.push_back(c);
  }
  control.text = filtered;
  if (control.def->kind == ControlKind::DropDown) {
    control.selection = -1;
  }
  FinishAction();
}

void HeadlessHost::Select(int id, int index) {
  Control& control = At(id);
  if (!control.enabled) {
    return;
  }
  SetCurSel(id, index);
  Dispatch({MessageKind::Command, id, framework::kCbnSelChange, {}});
  FinishAction();
}

void HeadlessHost::Click(int id) {
  Control& control = At(id);
  if (!control.enabled) {
    return;
  }
  switch (control.def->kind) {
    case ControlKind::AutoCheckBox:
      control.check = control.check == 0 ? 1 : 0;
      break;
    case ControlKind::AutoRadioButton: {
      // Check this one and clear the other automatic radio buttons of its group: from the
      // control that starts the group to the next one that starts another.
      const auto controls = resources::MainDialog().controls;
      std::size_t self = 0;
      while (controls[self].id != id) {
        ++self;
      }
      std::size_t first = self;
      while (first > 0 && (controls[first].style & resources::kGroupStart) == 0) {
        --first;
      }
      for (std::size_t i = first; i < controls.size(); ++i) {
        if (i > first && (controls[i].style & resources::kGroupStart) != 0) {
          break;
        }
        if (controls[i].kind == ControlKind::AutoRadioButton) {
          At(controls[i].id).check = controls[i].id == id ? 1 : 0;
        }
      }
      break;
    }
    default:
      break;
  }
  Dispatch({MessageKind::Command, id, framework::kBnClicked, {}});
  FinishAction();
}

void HeadlessHost::PressKey(framework::Key key) {
  // Enter with the focus on the port list runs the default command; Escape cancels.
  ++depth_;
  if (key == framework::Key::Enter) {
    dialog_->OnOK();
  } else {
    dialog_->OnCancel();
  }
  --depth_;
  FinishAction();
}

void HeadlessHost::ContextMenu(int id, bool chooseClear) {
  At(id);
  chooseClear_ = chooseClear;
  ++depth_;
  dialog_->OnContextMenu(id, framework::Point{0, 0});
  --depth_;
  chooseClear_ = false;
  FinishAction();
}

void HeadlessHost::Enable(int id, bool enable) {
  EnableWindow(id, enable);
  FinishAction();
}

void HeadlessHost::Post(std::function<void()> action) {
  queue_.push_back({MessageKind::Posted, 0, 0, std::move(action)});
}

void HeadlessHost::RunPendingMessages() {
  app_.Calls().RunAll();
  FinishAction();
}

void HeadlessHost::FinishAction() {
  // Inside a handler (an action carried out by a handler's message pump) the handler's own pump
  // goes on; the modal loop takes over only when the outermost handler has returned.
  if (depth_ > 0) {
    return;
  }
  // The modal loop goes on with the dialog's own messages; posted actions wait for a handler
  // that pumps.
  for (bool ran = true; ran && !destroyed_;) {
    ran = false;
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
      if (it->kind == MessageKind::Command) {
        Message message = std::move(*it);
        queue_.erase(it);
        Dispatch(std::move(message));
        ran = true;
        break;
      }
    }
  }
  if (ending_ && !destroyed_) {
    Close();
  }
}

void HeadlessHost::Dispatch(Message message) {
  ++depth_;
  switch (message.kind) {
    case MessageKind::Command:
      dialog_->OnCommand(message.id, message.notification);
      break;
    case MessageKind::Posted:
      message.action();
      break;
    case MessageKind::Quit:
      break;
  }
  --depth_;
}

void HeadlessHost::Close() {
  if (destroyed_ || dialog_ == nullptr) {
    return;
  }
  destroyed_ = true;
  queue_.clear();
  dialog_->OnDestroy();
}

framework::ControlState HeadlessHost::Show(int id) {
  Control& control = At(id);
  framework::ControlState state;
  state.text = GetWindowText(id);
  state.check = control.check;
  state.enabled = control.enabled;
  state.isComboBox = resources::IsComboBox(control.def->kind);
  state.selection = control.selection;
  return state;
}

std::vector<std::string> HeadlessHost::Lines(int listId) { return At(listId).lines; }

// --- DialogHost -----------------------------------------------------------------------------

std::string HeadlessHost::GetWindowText(int id) {
  Control& control = At(id);
  if (control.def->kind == ControlKind::DropDownList) {
    return control.selection >= 0 ? control.items[static_cast<std::size_t>(control.selection)]
                                  : std::string();
  }
  if (control.def->kind == ControlKind::ListBox) {
    return std::string();
  }
  return control.text;
}

void HeadlessHost::SetWindowText(int id, const std::string& text) {
  Control& control = At(id);
  if (control.def->kind != ControlKind::DropDownList && control.def->kind != ControlKind::ListBox) {
    control.text = text;
  }
}

int HeadlessHost::GetCurSel(int id) { return At(id).selection; }

void HeadlessHost::SetCurSel(int id, int index) {
  Control& control = At(id);
  if (index < 0 || index >= static_cast<int>(control.items.size())) {
    control.selection = -1;
    return;
  }
  control.selection = index;
  if (control.def->kind == ControlKind::DropDown) {
    control.text = control.items[static_cast<std::size_t>(index)];
  }
}

std::string HeadlessHost::GetItemText(int id, int index) {
  Control& control = At(id);
  if (index < 0 || index >= static_cast<int>(control.items.size())) {
    return std::string();
  }
  return control.items[static_cast<std::size_t>(index)];
}

int HeadlessHost::GetCheck(int id) { return At(id).check; }

void HeadlessHost::SetCheck(int id, int state) { At(id).check = state; }

void HeadlessHost::EnableWindow(int id, bool enable) { At(id).enabled = enable; }

bool HeadlessHost::IsWindowEnabled(int id) { return At(id).enabled; }

int HeadlessHost::AddString(int listId, const std::string& line) {
  Control& control = At(listId);
  control.lines.push_back(line);
  return static_cast<int>(control.lines.size()) - 1;
}

void HeadlessHost::SetListCurSel(int listId, int index) { At(listId).current = index; }

void HeadlessHost::ResetContent(int listId) {
  Control& control = At(listId);
  control.lines.clear();
  control.current = -1;
}

int HeadlessHost::ListCurSel(int listId) { return At(listId).current; }

void HeadlessHost::TrackPopupMenu(int /*menuId*/, framework::Point /*screenPoint*/) {
  ++menusShown_;
  if (chooseClear_) {
    // As Windows posts WM_COMMAND: the command arrives after the menu call has returned.
    queue_.push_back({MessageKind::Command, resources::kClearCommandId, framework::kBnClicked, {}});
  }
}

framework::IconHandle HeadlessHost::LoadIcon(int resourceId) { return resourceId; }

void HeadlessHost::SetIcon(framework::IconHandle, bool) {}

framework::Size HeadlessHost::GetClientSize() {
  // 383 x 274 dialog units at base units 7 x 14 (Times New Roman, 9 pt).
  return {resources::MainDialog().width * 7 / 4, resources::MainDialog().height * 14 / 8};
}

void HeadlessHost::EndDialog(int result) {
  modalResult_ = result;
  ending_ = true;
}

// --- MessageQueue ---------------------------------------------------------------------------

bool HeadlessHost::PeekMessage() { return !queue_.empty(); }

bool HeadlessHost::PumpMessage() {
  if (queue_.empty()) {
    return true;
  }
  Message message = std::move(queue_.front());
  queue_.pop_front();
  if (message.kind == MessageKind::Quit) {
    return false;
  }
  Dispatch(std::move(message));
  return true;
}

void HeadlessHost::PostQuitMessage(int /*exitCode*/) { queue_.push_back({MessageKind::Quit, 0, 0, {}}); }

}  // namespace varnet::headless
