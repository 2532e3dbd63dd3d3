// The dialog's top-level window. It takes the keys and requests that the Win32 dialog manager
// handles (Enter, Escape, the close box, WM_CONTEXTMENU) and passes them on to the host, instead
// of QDialog's own accept/reject handling.
#pragma once

#include <QDialog>

namespace varnet::qt {

class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // Enter with the focus elsewhere than on a push button: the default command (IDOK).
  virtual void OnDefaultCommand() = 0;
  // Escape, or the close box (IDCANCEL).
  virtual void OnCancelCommand() = 0;
  // A right-click over control `id` (0 for the dialog itself), at a screen point.
  virtual void OnContextMenuRequest(int id, QPoint screenPoint) = 0;
};

class DialogWindow final : public QDialog {
 public:
  explicit DialogWindow(WindowEvents& events);

  // The control id a widget stands for, as a property of the widget.
  static void SetControlId(QWidget* widget, int id);
  // The id of the control that holds `widget` (itself or one of its parents), 0 for none.
  static int ControlIdOf(const QWidget* widget);

  // Lets the window close for good (the host hides it once the dialog has ended).
  void reject() override;
  void accept() override {}

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  WindowEvents& events_;
};

}  // namespace varnet::qt
