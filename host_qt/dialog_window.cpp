#include "host_qt/dialog_window.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QVariant>

namespace varnet::qt {
namespace {
constexpr const char* kControlIdProperty = "varnetControlId";
}  // namespace

DialogWindow::DialogWindow(WindowEvents& events) : QDialog(nullptr), events_(events) {}

void DialogWindow::SetControlId(QWidget* widget, int id) { widget->setProperty(kControlIdProperty, id); }

int DialogWindow::ControlIdOf(const QWidget* widget) {
  for (; widget != nullptr; widget = widget->parentWidget()) {
    const QVariant id = widget->property(kControlIdProperty);
    if (id.isValid()) {
      return id.toInt();
    }
    if (widget->isWindow()) {
      break;
    }
  }
  return 0;
}

// QDialog calls reject() from its close event; the dialog ends only through EndDialog, so the
// window stays visible and the close event is ignored.
void DialogWindow::reject() { events_.OnCancelCommand(); }

void DialogWindow::keyPressEvent(QKeyEvent* event) {
  const bool plain = event->modifiers() == Qt::NoModifier ||
                     (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
  if (plain && event->key() == Qt::Key_Escape) {
    events_.OnCancelCommand();
    return;
  }
  if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    // The dialog manager clicks a focused push button; anywhere else Enter is the default command.
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (button != nullptr && !button->isCheckable()) {
      button->click();
    } else {
      events_.OnDefaultCommand();
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

void DialogWindow::contextMenuEvent(QContextMenuEvent* event) {
  events_.OnContextMenuRequest(ControlIdOf(childAt(event->pos())), event->globalPos());
}

}  // namespace varnet::qt
