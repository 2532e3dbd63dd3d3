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
  messages_.Reset(dialog);
  dialog.Attach(this);
  messages_.RunHandler([&dialog] { dialog.OnInitDialog(); });
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
  messages_.SendCommand(id, framework::kCbnSelChange);
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
    case ControlKind::AutoRadioButton:
      for (int member : resources::AutoRadioGroup(id)) {
        At(member).check = member == id ? 1 : 0;
      }
      break;
    default:
      break;
  }
  messages_.SendCommand(id, framework::kBnClicked);
  FinishAction();
}

void HeadlessHost::PressKey(framework::Key key) {
  // Enter with the focus on the port list runs the default command; Escape cancels.
  messages_.RunHandler([this, key] {
    if (key == framework::Key::Enter) {
      dialog_->OnOK();
    } else {
      dialog_->OnCancel();
    }
  });
  FinishAction();
}

void HeadlessHost::ContextMenu(int id, bool chooseClear) {
  At(id);
  chooseClear_ = chooseClear;
  messages_.RunHandler([this, id] { dialog_->OnContextMenu(id, framework::Point{0, 0}); });
  chooseClear_ = false;
  FinishAction();
}

void HeadlessHost::Enable(int id, bool enable) {
  EnableWindow(id, enable);
  FinishAction();
}

void HeadlessHost::Post(std::function<void()> action) { messages_.PostAction(std::move(action)); }

void HeadlessHost::RunPendingMessages() {
  app_.Calls().RunAll();
  FinishAction();
}

void HeadlessHost::FinishAction() {
  if (messages_.FinishAction()) {
    Close();
  }
}

void HeadlessHost::Close() { messages_.Destroy(); }

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
    messages_.PostCommand(resources::kClearCommandId, framework::kBnClicked);
  }
}

framework::IconHandle HeadlessHost::LoadIcon(int resourceId) { return resourceId; }

void HeadlessHost::SetIcon(framework::IconHandle, bool) {}

framework::Size HeadlessHost::GetClientSize() {
  // 383 x 274 dialog units at base units 7 x 14 (Times New Roman, 9 pt).
  return {resources::MainDialog().width * 7 / 4, resources::MainDialog().height * 14 / 8};
}

void HeadlessHost::EndDialog(int result) { messages_.EndDialog(result); }

// --- MessageQueue ---------------------------------------------------------------------------

bool HeadlessHost::PeekMessage() { return messages_.HasMessage(); }

bool HeadlessHost::PumpMessage() { return messages_.PumpOne() != framework::DialogMessages::Pumped::Quit; }

void HeadlessHost::PostQuitMessage(int /*exitCode*/) { messages_.PostQuit(); }

}  // namespace varnet::headless
