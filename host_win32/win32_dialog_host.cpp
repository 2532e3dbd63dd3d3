#include "host_win32/win32_dialog_host.h"

#include <algorithm>

#include "platform_win32/windows_api.h"
#include "resources/control_ids.h"
#include "resources/dialog_template.h"

namespace varnet::win32 {
namespace {

// Wakes the window's thread for calls handed over by another thread (the monitor's lines).
constexpr UINT kRunCallsMessage = WM_APP;
// A script action kept for the next handler that pumps messages; lParam names it.
constexpr UINT kPostedActionMessage = WM_APP + 1;

using resources::ControlKind;

ControlKind KindOf(int id) {
  const resources::ControlDef* def = resources::FindControl(id);
  return def != nullptr ? def->kind : ControlKind::Label;
}

// The lines of a list whose longest line, as added, had `longest` bytes. One buffer serves every
// line, with no LB_GETTEXTLEN for each: a byte added becomes at most one UTF-16 unit in the list,
// and a unit at most three bytes of the ANSI code page when it is read back.
std::vector<std::string> LinesOf(HWND list, std::size_t longest) {
  std::vector<std::string> lines;
  std::string buffer(3 * longest + 1, '\0');
  const LRESULT count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
  lines.reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT copied =
        ::SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer.data()));
    lines.emplace_back(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
  }
  return lines;
}

// Makes line index of a list without selection current and scrolls it into view.
void MakeCurrent(HWND list, int index) {
  ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  if (index < 0) {
    return;
  }
  // A list without selection does not scroll to its current item on every system (Wine
  // leaves it where it is), so the line is brought into view here.
  RECT client{};
  ::GetClientRect(list, &client);
  const LRESULT itemHeight = ::SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
  const LRESULT top = ::SendMessageA(list, LB_GETTOPINDEX, 0, 0);
  const int visible =
      itemHeight > 0 ? std::max(1, static_cast<int>((client.bottom - client.top) / itemHeight)) : 1;
  if (index < top) {
    ::SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
  } else if (index >= top + visible) {
    ::SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(index - visible + 1), 0);
  }
}

std::string TextOf(HWND window) {
  const int length = ::GetWindowTextLengthA(window);
  if (length <= 0) {
    return std::string();
  }
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = ::GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text;
}

}  // namespace

Win32DialogHost::Win32DialogHost(framework::CWinApp& app, bool scripted)
    : app_(app), scripted_(scripted), instance_(::GetModuleHandleA(nullptr)) {
  app_.AttachMessageQueue(this);
  app_.AttachRunner(this);
}

Win32DialogHost::~Win32DialogHost() {
  Close();
  app_.Calls().SetWake(nullptr);
  app_.AttachRunner(nullptr);
  app_.AttachMessageQueue(nullptr);
}

// --- The window -----------------------------------------------------------------------------

bool Win32DialogHost::Create(framework::CDialog& dialog) {
  dialog_ = &dialog;
  ending_ = false;
  destroyed_ = false;
  result_ = -1;
  lists_.clear();
  linesPending_ = false;
  finalLines_.clear();
  // A modeless window with our own loop: the same window serves the program and the scripts,
  // and the loop can hand the monitor's lines to the window's thread.
  window_ = ::CreateDialogParamA(instance_, MAKEINTRESOURCEA(dialog.TemplateId()), nullptr, &DialogProc,
                                 reinterpret_cast<LPARAM>(this));
  if (window_ == nullptr) {
    destroyed_ = true;
    return false;
  }
  return true;
}

int Win32DialogHost::RunModal(framework::CDialog& dialog) {
  if (!Create(dialog)) {
    return -1;
  }
  while (!ending_ && !destroyed_) {
    ShowNewestLines();
    MSG message;
    const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      // The quit request ends the dialog and stays for whoever runs the next loop.
      ::PostQuitMessage(got == 0 ? static_cast<int>(message.wParam) : 0);
      break;
    }
    Dispatch(message);
  }
  Close();
  return result_;
}

void Win32DialogHost::Dispatch(MSG& message) {
  if (window_ != nullptr && ::IsDialogMessageA(window_, &message)) {
    return;
  }
  ::TranslateMessage(&message);
  ::DispatchMessageA(&message);
}

void Win32DialogHost::Close() {
  if (window_ == nullptr) {
    return;
  }
  // WM_DESTROY reaches the dialog (OnDestroy) before the window and its controls go.
  ::DestroyWindow(window_);
  window_ = nullptr;
  controls_.clear();
  destroyed_ = true;
  posted_.clear();
}

INT_PTR CALLBACK Win32DialogHost::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Win32DialogHost* host = nullptr;
  if (message == WM_INITDIALOG) {
    host = reinterpret_cast<Win32DialogHost*>(lParam);
    ::SetWindowLongPtrA(window, DWLP_USER, lParam);
    host->window_ = window;
  } else {
    host = reinterpret_cast<Win32DialogHost*>(::GetWindowLongPtrA(window, DWLP_USER));
  }
  if (host == nullptr || host->dialog_ == nullptr) {
    return FALSE;
  }
  const INT_PTR result = host->HandleMessage(message, wParam, lParam);
  if (!host->depth_.InHandler() && message != WM_DESTROY) {
    // A handler has returned: the window may paint next, with the lists as they now are.
    host->ShowNewestLines();
  }
  return result;
}

INT_PTR Win32DialogHost::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  framework::CDialog& dialog = *dialog_;
  switch (message) {
    case WM_INITDIALOG: {
      InitControls();
      dialog.Attach(this);
      // Lines handed over by the monitor wake the window's thread with a message of its own.
      const HWND window = window_;
      app_.Calls().SetWake([window] { ::PostMessageA(window, kRunCallsMessage, 0, 0); });
      const framework::HandlerDepth::Scope handler = depth_.Enter();
      return dialog.OnInitDialog() ? TRUE : FALSE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int notification = HIWORD(wParam);
      const framework::HandlerDepth::Scope handler = depth_.Enter();
      if (id == IDOK && lParam == 0) {
        dialog.OnOK();
      } else if (id == IDCANCEL && lParam == 0) {
        dialog.OnCancel();
      } else {
        dialog.OnCommand(id, notification);
      }
      return TRUE;
    }
    case WM_PAINT:
      defaultPaint_ = false;
      dialog.OnPaint();
      // FALSE lets the dialog manager paint as a dialog paints.
      return defaultPaint_ ? FALSE : TRUE;
    case WM_QUERYDRAGICON:
      // One of the messages whose result a dialog procedure returns directly.
      return static_cast<INT_PTR>(dialog.OnQueryDragIcon());
    case WM_CONTEXTMENU: {
      const HWND clicked = reinterpret_cast<HWND>(wParam);
      const int id = clicked != window_ && ::IsChild(window_, clicked) ? ::GetDlgCtrlID(clicked) : 0;
      const framework::Point point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      const framework::HandlerDepth::Scope handler = depth_.Enter();
      dialog.OnContextMenu(id, point);
      return TRUE;
    }
    case WM_DESTROY: {
      app_.Calls().SetWake(nullptr);
      const framework::HandlerDepth::Scope handler = depth_.Enter();
      dialog.OnDestroy();
      if (scripted_ && ending_) {
        // The dialog has ended itself and its lists go with the window once this returns: the
        // script runner still prints them. (When the runner closes the window, it has printed
        // them already.)
        KeepFinalLines();
      }
      return FALSE;
    }
    case kRunCallsMessage:
      app_.Calls().RunAll();
      return TRUE;
    case kPostedActionMessage: {
      auto found = posted_.find(lParam);
      if (found != posted_.end()) {
        std::function<void()> action = std::move(found->second);
        posted_.erase(found);
        const framework::HandlerDepth::Scope handler = depth_.Enter();
        action();
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void Win32DialogHost::InitControls() {
  controls_.clear();
  for (const resources::ControlDef& def : resources::MainDialog().controls) {
    controls_[def.id] = ::GetDlgItem(window_, def.id);
  }
  // The template cannot carry the combo boxes' items: they are added from the table, in order.
  for (const resources::ControlDef& def : resources::MainDialog().controls) {
    if (!resources::IsComboBox(def.kind)) {
      continue;
    }
    const HWND combo = Control(def.id);
    for (std::string_view item : def.items) {
      const std::string text(item);
      ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
  }
  // Centred on the screen's work area, as the dialog framework places a main dialog.
  RECT frame{};
  RECT work{};
  ::GetWindowRect(window_, &frame);
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  ::SetWindowPos(window_, nullptr, work.left + std::max(0L, (work.right - work.left - width) / 2),
                 work.top + std::max(0L, (work.bottom - work.top - height) / 2), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND Win32DialogHost::Control(int id) const {
  if (window_ == nullptr) {
    return nullptr;
  }
  // GetDlgItem walks the dialog's children, which under Wine asks the server for the list
  // every time: far too slow for a call made on every line a list takes.
  auto found = controls_.find(id);
  return found != controls_.end() ? found->second : ::GetDlgItem(window_, id);
}

// --- DialogHost -----------------------------------------------------------------------------

std::string Win32DialogHost::GetWindowText(int id) {
  if (KindOf(id) == ControlKind::ListBox) {
    return std::string();
  }
  // A drop-down list answers with its selected item's text.
  return TextOf(Control(id));
}

void Win32DialogHost::SetWindowText(int id, const std::string& text) {
  const ControlKind kind = KindOf(id);
  if (kind == ControlKind::DropDownList || kind == ControlKind::ListBox) {
    return;
  }
  ::SetWindowTextA(Control(id), text.c_str());
}

int Win32DialogHost::GetCurSel(int id) {
  const LRESULT index = ::SendMessageA(Control(id), CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

void Win32DialogHost::SetCurSel(int id, int index) {
  const HWND combo = Control(id);
  const LRESULT count = ::SendMessageA(combo, CB_GETCOUNT, 0, 0);
  // An index outside the list clears the selection.
  const WPARAM wanted = index >= 0 && index < count ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1);
  ::SendMessageA(combo, CB_SETCURSEL, wanted, 0);
}

std::string Win32DialogHost::GetItemText(int id, int index) {
  const HWND combo = Control(id);
  const LRESULT length = ::SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (index < 0 || length == CB_ERR || length <= 0) {
    return std::string();
  }
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT copied =
      ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
  return text;
}

int Win32DialogHost::GetCheck(int id) {
  return ::SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32DialogHost::SetCheck(int id, int state) {
  ::SendMessageA(Control(id), BM_SETCHECK, state != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32DialogHost::EnableWindow(int id, bool enable) {
  ::EnableWindow(Control(id), enable ? TRUE : FALSE);
}

bool Win32DialogHost::IsWindowEnabled(int id) { return ::IsWindowEnabled(Control(id)) != 0; }

int Win32DialogHost::AddString(int listId, const std::string& line) {
  const HWND list = Control(listId);
  if (list == nullptr) {
    return -1;
  }
  ListState& state = StateOf(listId);
  if (!state.redrawOff) {
    // A list that redraws updates its scroll bar and repaints for every line added (under
    // Wine that costs milliseconds a line); in a burst it redraws once, when the window can
    // paint again.
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    state.redrawOff = true;
    linesPending_ = true;
  }
  if (state.count >= state.capacity) {
    // Room for as many lines again: a list box left to itself grows its storage a few lines at
    // a time (Wine copies it each time), which makes a long run of lines quadratic.
    const LRESULT more = std::max<LRESULT>(state.count, kListStorageStep);
    const LRESULT room = ::SendMessageA(list, LB_INITSTORAGE, static_cast<WPARAM>(more), 0);
    state.capacity = room > state.count ? room : state.count + more;
  }
  const LRESULT index = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  if (index < 0) {
    return -1;
  }
  state.count = index + 1;
  state.longest = std::max(state.longest, line.size());
  return static_cast<int>(index);
}

void Win32DialogHost::SetListCurSel(int listId, int index) {
  // The line becomes current where the window can paint next: what a person can see is the
  // same, and a burst of lines scrolls the list once rather than once a line.
  ListState& state = StateOf(listId);
  state.current = index;
  state.currentPending = true;
  linesPending_ = true;
}

void Win32DialogHost::ResetContent(int listId) {
  ::SendMessageA(Control(listId), LB_RESETCONTENT, 0, 0);
  ListState& state = StateOf(listId);
  state.count = 0;
  state.capacity = 0;
  state.longest = 0;
  state.currentPending = false;
}

void Win32DialogHost::ShowNewestLines() {
  if (!linesPending_ || window_ == nullptr || destroyed_) {
    return;
  }
  linesPending_ = false;
  for (auto& [id, state] : lists_) {
    const HWND list = Control(id);
    if (state.currentPending) {
      state.currentPending = false;
      MakeCurrent(list, state.current);
    }
    if (state.redrawOff) {
      state.redrawOff = false;
      ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
      ::InvalidateRect(list, nullptr, TRUE);
    }
  }
}

void Win32DialogHost::KeepFinalLines() {
  for (const resources::ControlDef& def : resources::MainDialog().controls) {
    if (def.kind == ControlKind::ListBox) {
      finalLines_[def.id] = LinesOf(Control(def.id), StateOf(def.id).longest);
    }
  }
}

void Win32DialogHost::TrackPopupMenu(int menuId, framework::Point screenPoint) {
  const HMENU menu = ::LoadMenuA(instance_, MAKEINTRESOURCEA(menuId));
  if (menu == nullptr) {
    return;
  }
  const HMENU popup = ::GetSubMenu(menu, 0);
  // The menu's own loop paints the window while it is open.
  ShowNewestLines();
  if (popup != nullptr) {
    if (scripted_) {
      // A script answers the menu instead of a mouse: "clear" chooses the pop-up's first item,
      // whose command is posted as the menu would post it once it has closed.
      const UINT command = ::GetMenuItemID(popup, 0);
      if (chooseClear_ && command != static_cast<UINT>(-1)) {
        ::PostMessageA(window_, WM_COMMAND, MAKEWPARAM(command, 0), 0);
      }
    } else {
      // Without TPM_RETURNCMD the chosen command is posted to the owner after the menu closes.
      ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, 0, window_,
                       nullptr);
    }
  }
  ::DestroyMenu(menu);
}

framework::IconHandle Win32DialogHost::LoadIcon(int resourceId) {
  return reinterpret_cast<framework::IconHandle>(::LoadIconA(instance_, MAKEINTRESOURCEA(resourceId)));
}

void Win32DialogHost::SetIcon(framework::IconHandle icon, bool big) {
  ::SendMessageA(window_, WM_SETICON, big ? ICON_BIG : ICON_SMALL, static_cast<LPARAM>(icon));
}

bool Win32DialogHost::IsIconic() { return ::IsIconic(window_) != 0; }

framework::Size Win32DialogHost::GetClientSize() {
  RECT client{};
  ::GetClientRect(window_, &client);
  return {client.right - client.left, client.bottom - client.top};
}

framework::Size Win32DialogHost::GetIconMetrics() {
  return {::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON)};
}

void Win32DialogHost::PaintIcon(framework::IconHandle icon, int x, int y) {
  PAINTSTRUCT paint;
  const HDC dc = ::BeginPaint(window_, &paint);
  ::SendMessageA(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  ::DrawIcon(dc, x, y, reinterpret_cast<HICON>(icon));
  ::EndPaint(window_, &paint);
}

void Win32DialogHost::DefaultPaint() { defaultPaint_ = true; }

void Win32DialogHost::EndDialog(int result) {
  // The window goes once the message being handled is done (the loop that runs it sees this).
  result_ = result;
  ending_ = true;
}

// --- MessageQueue: the window's thread's queue, for a handler's own pump ----------------------

bool Win32DialogHost::PeekMessage() {
  ShowNewestLines();
  MSG message;
  return ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) != 0;
}

bool Win32DialogHost::PumpMessage() {
  ShowNewestLines();
  MSG message;
  const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
  if (got == 0 || got == -1) {
    return false;
  }
  Dispatch(message);
  return true;
}

void Win32DialogHost::PostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }

// --- ScriptHost -----------------------------------------------------------------------------

void Win32DialogHost::Open(framework::CDialog& dialog) {
  if (Create(dialog)) {
    FinishAction();
  }
}

void Win32DialogHost::RunOwnMessages() {
  MSG message;
  for (;;) {
    ShowNewestLines();
    // Everything but the script's posted actions, which wait for a handler's pump.
    if (!::PeekMessageA(&message, nullptr, 0, kPostedActionMessage - 1, PM_REMOVE) &&
        !::PeekMessageA(&message, nullptr, kPostedActionMessage + 1, 0xFFFFFFFFu, PM_REMOVE)) {
      return;
    }
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    Dispatch(message);
    if (ending_) {
      return;
    }
  }
}

void Win32DialogHost::FinishAction() {
  if (depth_.InHandler() || window_ == nullptr) {
    return;
  }
  RunOwnMessages();
  if (ending_) {
    Close();
  }
}

void Win32DialogHost::Type(int id, const std::string& text) {
  const HWND control = Control(id);
  if (control == nullptr || !::IsWindowEnabled(control)) {
    return;
  }
  // The characters go to the edit field itself (inside an editable combo box), one WM_CHAR
  // each, so that its own filters act as they do on keys.
  HWND edit = control;
  if (KindOf(id) == ControlKind::DropDown) {
    edit = ::FindWindowExA(control, nullptr, "Edit", nullptr);
    if (edit == nullptr) {
      edit = control;
    }
  }
  ::SetWindowTextA(edit, "");
  for (char c : text) {
    ::SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
  }
  // A box that does not scroll stops taking characters at its visible edge, which depends on
  // the font a system has; a script's typing is not limited so (every host gives the same
  // text). The same characters typed into a hidden edit control of the same filters that does
  // scroll give the text the box would show if it were wide enough.
  const LONG style = ::GetWindowLongA(edit, GWL_STYLE);
  if ((style & ES_AUTOHSCROLL) == 0) {
    const std::string unlimited = TypedWithoutWidthLimit(edit, text);
    if (unlimited != TextOf(edit)) {
      ::SetWindowTextA(edit, unlimited.c_str());
    }
  }
  FinishAction();
}

std::string Win32DialogHost::TypedWithoutWidthLimit(HWND edit, const std::string& text) {
  const LONG filters =
      ::GetWindowLongA(edit, GWL_STYLE) & (ES_NUMBER | ES_UPPERCASE | ES_LOWERCASE | ES_OEMCONVERT);
  // A hidden top-level window: nobody is notified of its changes.
  const HWND scratch = ::CreateWindowExA(0, "Edit", "", WS_POPUP | ES_AUTOHSCROLL | filters, 0, 0, 10, 10,
                                         nullptr, nullptr, instance_, nullptr);
  if (scratch == nullptr) {
    return TextOf(edit);
  }
  for (char c : text) {
    ::SendMessageA(scratch, WM_CHAR, static_cast<unsigned char>(c), 1);
  }
  const std::string typed = TextOf(scratch);
  ::DestroyWindow(scratch);
  return typed;
}

void Win32DialogHost::Select(int id, int index) {
  const HWND combo = Control(id);
  if (combo == nullptr || !::IsWindowEnabled(combo)) {
    return;
  }
  ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  // CB_SETCURSEL itself notifies nobody: the dialog gets what a person's choice sends.
  ::SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  FinishAction();
}

void Win32DialogHost::Click(int id) {
  const HWND button = Control(id);
  if (button == nullptr || !::IsWindowEnabled(button)) {
    return;
  }
  // BM_CLICK may not reach a button of an inactive dialog.
  ::SetActiveWindow(window_);
  ::SendMessageA(button, BM_CLICK, 0, 0);
  FinishAction();
}

void Win32DialogHost::PressKey(framework::Key key) {
  // The key as the dialog manager sees it with the focus on the port list: Enter runs the
  // default command (IDOK), Escape IDCANCEL.
  const HWND focus = Control(ids::kPortList);
  ::SetFocus(focus);
  MSG message{};
  message.hwnd = focus;
  message.message = WM_KEYDOWN;
  message.wParam = key == framework::Key::Enter ? VK_RETURN : VK_ESCAPE;
  message.lParam = 1;
  message.time = ::GetMessageTime();
  {
    const framework::HandlerDepth::Scope handler = depth_.Enter();
    if (!::IsDialogMessageA(window_, &message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
  }
  FinishAction();
}

void Win32DialogHost::ContextMenu(int id, bool chooseClear) {
  const HWND control = Control(id);
  if (control == nullptr) {
    return;
  }
  RECT rect{};
  ::GetWindowRect(control, &rect);
  chooseClear_ = chooseClear;
  ::SendMessageA(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control),
                 MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
  chooseClear_ = false;
  FinishAction();
}

void Win32DialogHost::Enable(int id, bool enable) {
  EnableWindow(id, enable);
  FinishAction();
}

void Win32DialogHost::Post(std::function<void()> action) {
  if (window_ == nullptr) {
    return;
  }
  const LPARAM key = nextPosted_++;
  posted_.emplace(key, std::move(action));
  ::PostMessageA(window_, kPostedActionMessage, 0, key);
}

void Win32DialogHost::RunPendingMessages() {
  app_.Calls().RunAll();
  FinishAction();
}

framework::ControlState Win32DialogHost::Show(int id) {
  framework::ControlState state;
  const ControlKind kind = KindOf(id);
  state.text = GetWindowText(id);
  state.check = resources::IsButton(kind) ? GetCheck(id) : 0;
  state.enabled = IsWindowEnabled(id);
  state.isComboBox = resources::IsComboBox(kind);
  state.selection = state.isComboBox ? GetCurSel(id) : -1;
  return state;
}

std::vector<std::string> Win32DialogHost::Lines(int listId) {
  if (window_ == nullptr) {
    // The dialog has ended: its lists as they were when the window went.
    auto kept = finalLines_.find(listId);
    return kept != finalLines_.end() ? kept->second : std::vector<std::string>();
  }
  return LinesOf(Control(listId), StateOf(listId).longest);
}

}  // namespace varnet::win32
