#include "host_qt/qt_host.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaObject>
#include <QScreen>
#include <QStyle>
#include <stdexcept>

#include "host_qt/app_icon_qt.h"
#include "host_qt/compact_style.h"
#include "host_qt/list_box.h"
#include "host_qt/template_controls.h"

namespace varnet::qt {
namespace {

using resources::ControlKind;

// Window texts are ANSI strings: one byte, one character.
QString ToQt(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text) { return text.toLatin1().toStdString(); }

}  // namespace

QtHost::QtHost(framework::CWinApp& app) : app_(app) {
  app_.AttachMessageQueue(this);
  // A call handed over by the monitor thread wakes the event loop, as a sent message wakes
  // GetMessage; the calls live in the application object, which outlives every window.
  framework::WindowThreadCalls* calls = &app_.Calls();
  app_.Calls().SetWake([calls] {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [calls] { calls->RunAll(); }, Qt::QueuedConnection);
  });
}

QtHost::~QtHost() {
  app_.Calls().SetWake(nullptr);
  app_.AttachMessageQueue(nullptr);
}

// --- The window --------------------------------------------------------------------------

void QtHost::CreateWindow(framework::CDialog& dialog) {
  const resources::DialogDef& def = resources::MainDialog();
  dialog_ = &dialog;
  controls_.clear();
  messages_.Reset(dialog);

  window_ = std::make_unique<DialogWindow>(static_cast<WindowEvents&>(*this));
  style_ = MakeCompactStyle();
  font_ = TemplateFont(def);
  units_ = MeasureBaseUnits(font_);
  window_->setFont(font_);
  window_->setStyle(style_.get());
  window_->setWindowTitle(ToQt(def.caption));
  // A caption with system menu and minimise box, no maximise box, not resizable; a taskbar
  // button of its own (WS_EX_APPWINDOW).
  window_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint);
  window_->setFixedSize(DluToPixelsX(def.width, units_), DluToPixelsY(def.height, units_));
  for (const resources::ControlDef& control : def.controls) {
    CreateControl(control);
  }
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(0, 0), window_->size());
    frame.moveCenter(screen->availableGeometry().center());
    window_->move(frame.topLeft());
  }
  dialog.Attach(this);
}

void QtHost::CreateControl(const resources::ControlDef& def) {
  Control control;
  switch (def.kind) {
    case ControlKind::GroupBox:
    case ControlKind::Label:
      control.widget = CreateStatic(def);
      break;
    case ControlKind::PushButton:
    case ControlKind::AutoRadioButton:
    case ControlKind::AutoCheckBox:
    case ControlKind::CheckBox:
      control.widget = control.button = CreateButton(def);
      break;
    case ControlKind::Edit:
      control.widget = control.edit = CreateEdit(def);
      break;
    case ControlKind::DropDownList:
    case ControlKind::DropDown:
      control.widget = control.combo = CreateComboBox(def);
      if (def.kind == ControlKind::DropDown) {
        control.edit = control.combo->lineEdit();
      }
      break;
    case ControlKind::ListBox:
      control.widget = control.list = CreateListBox(def);
      break;
  }
  control.def = &def;
  PlaceControl(def, *control.widget);
  if (def.id != resources::kStaticId) {
    DialogWindow::SetControlId(control.widget, def.id);
    controls_[def.id] = control;
  }
}

QWidget* QtHost::CreateStatic(const resources::ControlDef& def) {
  QWidget* widget = nullptr;
  if (def.kind == ControlKind::GroupBox) {
    widget = new QGroupBox(ToQt(def.caption), window_.get());
  } else {
    auto* label = new QLabel(ToQt(def.caption), window_.get());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    widget = label;
  }
  // Statics answer HTTRANSPARENT: a click goes to what lies beneath.
  widget->setAttribute(Qt::WA_TransparentForMouseEvents);
  return widget;
}

QAbstractButton* QtHost::CreateButton(const resources::ControlDef& def) {
  const QString caption = ToQt(def.caption);
  const int id = def.id;
  QAbstractButton* button = nullptr;
  NextCheckState next;
  if (def.kind == ControlKind::CheckBox) {
    next = [] {};  // BS_CHECKBOX: only the program sets the mark
  } else if (def.kind == ControlKind::AutoRadioButton) {
    next = [this, id] { CheckRadioButton(id); };
  }
  if (def.kind == ControlKind::PushButton || (def.style & resources::kPushLike) != 0) {
    auto* push = new TemplateButton(caption, window_.get());
    push->setAutoDefault(false);
    push->setDefault(false);
    push->setCheckable(def.kind != ControlKind::PushButton);
    push->SetNextCheckState(std::move(next));
    button = push;
  } else {
    auto* box = new TemplateCheckBox(caption, window_.get());
    box->SetNextCheckState(std::move(next));
    button = box;
  }
  QObject::connect(button, &QAbstractButton::clicked, button,
                   [this, id] { Notify(id, framework::kBnClicked); });
  return button;
}

QLineEdit* QtHost::CreateEdit(const resources::ControlDef& def) {
  auto* edit = new QLineEdit(window_.get());
  const bool digits = (def.style & resources::kDigitsOnly) != 0;
  const bool upper = (def.style & resources::kUpperCase) != 0;
  if (digits || upper) {
    edit->setValidator(new EditFilter(digits, upper, edit));
  }
  return edit;
}

QComboBox* QtHost::CreateComboBox(const resources::ControlDef& def) {
  const int id = def.id;
  auto* combo = new QComboBox(window_.get());
  if (def.kind == ControlKind::DropDown) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);  // a CBS_DROPDOWN does not complete what is typed
  }
  for (std::string_view item : def.items) {
    combo->addItem(ToQt(item));
  }
  combo->setCurrentIndex(-1);
  // The template's height includes the dropped list; the box itself is one line high.
  const int lineHeight = DluToPixelsY(12, units_);
  const int listHeight = DluToPixelsY(def.rect.height, units_) - lineHeight;
  combo->setMaxVisibleItems(std::max(1, listHeight / std::max(1, units_.y)));
  // CBN_SELCHANGE comes from a person's choice, not from the program's CB_SETCURSEL.
  QObject::connect(combo, &QComboBox::activated, combo, [this, id] { Notify(id, framework::kCbnSelChange); });
  return combo;
}

ListBox* QtHost::CreateListBox(const resources::ControlDef& def) {
  auto* list = new ListBox(window_.get());
  if ((def.style & resources::kStaticEdge) != 0) {
    list->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  } else {
    list->setFrameStyle(QFrame::Box | QFrame::Plain);
  }
  return list;
}

void QtHost::PlaceControl(const resources::ControlDef& def, QWidget& widget) {
  widget.setStyle(style_.get());
  QRect rect = ToPixels(def.rect, units_);
  if (resources::IsComboBox(def.kind)) {
    rect.setHeight(DluToPixelsY(12, units_));
  }
  widget.setGeometry(rect);
  widget.setEnabled((def.style & resources::kDisabled) == 0);
  if (def.kind != ControlKind::GroupBox && def.kind != ControlKind::Label) {
    widget.setFocusPolicy((def.style & resources::kNoTabStop) != 0 ? Qt::ClickFocus : Qt::StrongFocus);
  }
  if (def.kind == ControlKind::GroupBox) {
    widget.lower();  // a frame lies beneath the controls it surrounds
  }
}

void QtHost::CheckRadioButton(int id) {
  // BS_AUTORADIOBUTTON: check this one and clear the others of its group.
  for (int member : resources::AutoRadioGroup(id)) {
    At(member).button->setChecked(member == id);
  }
}

QtHost::Control& QtHost::At(int id) {
  auto found = controls_.find(id);
  if (found == controls_.end()) {
    throw std::out_of_range("no control " + std::to_string(id));
  }
  return found->second;
}

QWidget* QtHost::Widget(int id) { return At(id).widget; }

QWidget* QtHost::FirstTabStop() {
  // Where the focus goes when OnInitDialog returns TRUE.
  for (const resources::ControlDef& def : resources::MainDialog().controls) {
    if (def.id != resources::kStaticId && (def.style & (resources::kNoTabStop | resources::kDisabled)) == 0) {
      return At(def.id).widget;
    }
  }
  return window_.get();
}

// --- Running the dialog -------------------------------------------------------------------

int QtHost::RunModal(framework::CDialog& dialog) {
  CreateWindow(dialog);
  messages_.RunHandler([&dialog] { dialog.OnInitDialog(); });
  window_->show();
  FirstTabStop()->setFocus();
  QEventLoop loop;
  modalLoop_ = &loop;
  FinishAction();
  if (!messages_.Ending()) {
    loop.exec();
  }
  modalLoop_ = nullptr;
  Close();
  return messages_.Result();
}

void QtHost::Open(framework::CDialog& dialog) {
  CreateWindow(dialog);
  messages_.RunHandler([&dialog] { dialog.OnInitDialog(); });
  window_->show();
  FirstTabStop()->setFocus();
  FinishAction();
}

void QtHost::Notify(int id, int notification) {
  messages_.SendCommand(id, notification);
  // In the modal loop nothing else would take the dialog's own messages; a script's action
  // takes them itself once the widget's call has returned.
  if (modalLoop_ != nullptr) {
    FinishAction();
  }
}

void QtHost::FinishAction() {
  if (messages_.FinishAction()) {
    if (modalLoop_ != nullptr) {
      modalLoop_->exit();
    } else {
      Close();
    }
  }
}

void QtHost::Close() {
  if (messages_.Destroy()) {
    // The widgets stay until the host goes, so that the lists can still be read.
    window_->hide();
  }
}

void QtHost::EndDialog(int result) { messages_.EndDialog(result); }

void QtHost::OnDefaultCommand() {
  messages_.RunHandler([this] { dialog_->OnOK(); });
  if (modalLoop_ != nullptr) {
    FinishAction();
  }
}

void QtHost::OnCancelCommand() {
  if (messages_.Destroyed()) {
    return;
  }
  messages_.RunHandler([this] { dialog_->OnCancel(); });
  if (modalLoop_ != nullptr) {
    FinishAction();
  }
}

void QtHost::OnContextMenuRequest(int id, QPoint screenPoint) {
  messages_.RunHandler([this, id, screenPoint] {
    dialog_->OnContextMenu(id, framework::Point{screenPoint.x(), screenPoint.y()});
  });
  if (modalLoop_ != nullptr) {
    FinishAction();
  }
}

// --- Script actions -----------------------------------------------------------------------

void QtHost::Type(int id, const std::string& text) {
  Control& control = At(id);
  if (!control.widget->isEnabled() || control.edit == nullptr) {
    return;
  }
  if (control.combo != nullptr) {
    control.combo->setCurrentIndex(-1);
  }
  // One character at a time, as typed: the box's filter sees each.
  control.edit->clear();
  for (char c : text) {
    control.edit->insert(QString(QChar::fromLatin1(c)));
  }
  FinishAction();
}

void QtHost::Select(int id, int index) {
  Control& control = At(id);
  if (!control.widget->isEnabled() || control.combo == nullptr) {
    return;
  }
  // A choice from the list: the selection, then CBN_SELCHANGE, even when it was selected already.
  control.combo->setCurrentIndex(index);
  emit control.combo->activated(index);
  FinishAction();
}

void QtHost::Click(int id) {
  Control& control = At(id);
  if (control.button == nullptr) {
    return;
  }
  control.button->click();  // a disabled button ignores it
  FinishAction();
}

void QtHost::PressKey(framework::Key key) {
  // The key goes to the focused control, the port list (the first tab stop), which leaves Enter
  // and Escape to the dialog.
  QWidget* portList = FirstTabStop();
  portList->setFocus();
  QKeyEvent press(QEvent::KeyPress, key == framework::Key::Enter ? Qt::Key_Return : Qt::Key_Escape,
                  Qt::NoModifier);
  QCoreApplication::sendEvent(portList, &press);
  FinishAction();
}

void QtHost::ContextMenu(int id, bool chooseClear) {
  At(id);
  scriptedMenuChoice_ = chooseClear;
  OnContextMenuRequest(id, At(id).widget->mapToGlobal(At(id).widget->rect().center()));
  scriptedMenuChoice_.reset();
  FinishAction();
}

void QtHost::Enable(int id, bool enable) {
  EnableWindow(id, enable);
  FinishAction();
}

void QtHost::Post(std::function<void()> action) { messages_.PostAction(std::move(action)); }

void QtHost::RunPendingMessages() {
  app_.Calls().RunAll();
  QCoreApplication::processEvents();
  FinishAction();
}

framework::ControlState QtHost::Show(int id) {
  framework::ControlState state;
  state.text = GetWindowText(id);
  state.check = GetCheck(id);
  state.enabled = IsWindowEnabled(id);
  state.isComboBox = At(id).combo != nullptr;
  state.selection = state.isComboBox ? GetCurSel(id) : -1;
  return state;
}

std::vector<std::string> QtHost::Lines(int listId) {
  Control& control = At(listId);
  return control.list != nullptr ? control.list->Lines() : std::vector<std::string>();
}

// --- DialogHost ---------------------------------------------------------------------------

std::string QtHost::GetWindowText(int id) {
  Control& control = At(id);
  if (control.edit != nullptr) {
    return FromQt(control.edit->text());
  }
  if (control.combo != nullptr) {
    return control.combo->currentIndex() >= 0 ? FromQt(control.combo->currentText()) : std::string();
  }
  if (control.button != nullptr) {
    return FromQt(control.button->text());
  }
  return std::string();
}

void QtHost::SetWindowText(int id, const std::string& text) {
  Control& control = At(id);
  if (control.edit != nullptr) {
    control.edit->setText(ToQt(text));
  } else if (control.button != nullptr) {
    control.button->setText(ToQt(text));
  }
}

int QtHost::GetCurSel(int id) {
  Control& control = At(id);
  return control.combo != nullptr ? control.combo->currentIndex() : -1;
}

void QtHost::SetCurSel(int id, int index) {
  Control& control = At(id);
  if (control.combo == nullptr) {
    return;
  }
  if (index < 0 || index >= control.combo->count()) {
    // CB_ERR: no selection; an editable box keeps its text.
    const QString text = control.edit != nullptr ? control.edit->text() : QString();
    control.combo->setCurrentIndex(-1);
    if (control.edit != nullptr) {
      control.edit->setText(text);
    }
    return;
  }
  control.combo->setCurrentIndex(index);
}

std::string QtHost::GetItemText(int id, int index) {
  Control& control = At(id);
  if (control.combo == nullptr || index < 0 || index >= control.combo->count()) {
    return std::string();
  }
  return FromQt(control.combo->itemText(index));
}

int QtHost::GetCheck(int id) {
  Control& control = At(id);
  return control.button != nullptr && control.button->isCheckable() && control.button->isChecked() ? 1 : 0;
}

void QtHost::SetCheck(int id, int state) {
  Control& control = At(id);
  if (control.button != nullptr && control.button->isCheckable()) {
    control.button->setChecked(state != 0);
  }
}

void QtHost::EnableWindow(int id, bool enable) { At(id).widget->setEnabled(enable); }

bool QtHost::IsWindowEnabled(int id) { return At(id).widget->isEnabled(); }

int QtHost::AddString(int listId, const std::string& line) {
  Control& control = At(listId);
  return control.list != nullptr ? control.list->AddString(line) : -1;
}

void QtHost::SetListCurSel(int listId, int index) {
  Control& control = At(listId);
  if (control.list != nullptr) {
    control.list->SetCurSel(index);
  }
}

void QtHost::ResetContent(int listId) {
  Control& control = At(listId);
  if (control.list != nullptr) {
    control.list->ResetContent();
  }
}

int QtHost::ListCurSel(int listId) {
  Control& control = At(listId);
  return control.list != nullptr ? control.list->CurSel() : -1;
}

void QtHost::UpdateListViews() {
  for (auto& [id, control] : controls_) {
    if (control.list != nullptr) {
      control.list->UpdateView();
    }
  }
}

void QtHost::TrackPopupMenu(int menuId, framework::Point screenPoint) {
  if (menuId != resources::kContextMenuId) {
    return;
  }
  QMenu menu(window_.get());
  menu.setTitle(ToQt(resources::kContextMenuPopupCaption));
  QAction* clear = menu.addAction(ToQt(resources::kClearCommandCaption));
  bool chosen = false;
  QObject::connect(clear, &QAction::triggered, &menu, [&chosen] { chosen = true; });
  const QPoint at(screenPoint.x, screenPoint.y);
  if (scriptedMenuChoice_) {
    // A script's right-click: the real menu opens and its item is chosen, or it is closed.
    menu.popup(at);
    if (*scriptedMenuChoice_) {
      clear->trigger();
    }
    menu.hide();
  } else {
    menu.exec(at);
  }
  if (chosen) {
    // As Windows posts WM_COMMAND: the command arrives after the menu call has returned.
    messages_.PostCommand(resources::kClearCommandId, framework::kBnClicked);
  }
}

framework::IconHandle QtHost::LoadIcon(int resourceId) {
  if (resourceId != resources::kIconId) {
    return 0;
  }
  icons_.try_emplace(resourceId, MakeAppIcon());
  return resourceId;
}

void QtHost::SetIcon(framework::IconHandle icon, bool /*big*/) {
  // Qt picks the large and the small picture from one icon.
  auto found = icons_.find(icon);
  if (found != icons_.end() && window_) {
    window_->setWindowIcon(found->second);
  }
}

bool QtHost::IsIconic() { return window_ && window_->isMinimized(); }

framework::Size QtHost::GetClientSize() {
  return window_ ? framework::Size{window_->width(), window_->height()} : framework::Size{};
}

// --- MessageQueue -------------------------------------------------------------------------

bool QtHost::PeekMessage() {
  if (messages_.HasMessage()) {
    return true;
  }
  // Qt cannot tell whether an event is waiting: each pump counts one round of event processing
  // as a message, so that a pump ends once it has had its round.
  if (roundDone_) {
    roundDone_ = false;
    return false;
  }
  return true;
}

bool QtHost::PumpMessage() {
  switch (messages_.PumpOne()) {
    case framework::DialogMessages::Pumped::Quit:
      return false;
    case framework::DialogMessages::Pumped::Ran:
      return true;
    case framework::DialogMessages::Pumped::Nothing:
      break;
  }
  QCoreApplication::processEvents();
  roundDone_ = true;
  return true;
}

void QtHost::PostQuitMessage(int /*exitCode*/) { messages_.PostQuit(); }

}  // namespace varnet::qt
