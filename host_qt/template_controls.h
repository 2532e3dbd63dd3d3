// The Qt widgets that stand for the template's controls, where a stock widget behaves otherwise
// than its Win32 counterpart: who changes a check mark on a click, and which characters an edit
// box lets through.
#pragma once

#include <QCheckBox>
#include <QPushButton>
#include <QValidator>
#include <functional>

namespace varnet::qt {

// What a click does to a button's check mark before the click is reported: BS_AUTOCHECKBOX
// toggles it (Qt's own behaviour), BS_CHECKBOX leaves it to the program, BS_AUTORADIOBUTTON
// checks the button and clears the rest of its group.
using NextCheckState = std::function<void()>;

// A push button, or a push-like check box or radio button (a checkable push button).
class TemplateButton final : public QPushButton {
 public:
  TemplateButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}
  void SetNextCheckState(NextCheckState next) { next_ = std::move(next); }

 protected:
  void nextCheckState() override;

 private:
  NextCheckState next_;
};

class TemplateCheckBox final : public QCheckBox {
 public:
  TemplateCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {}
  void SetNextCheckState(NextCheckState next) { next_ = std::move(next); }

 protected:
  void nextCheckState() override;

 private:
  NextCheckState next_;
};

// ES_NUMBER and ES_UPPERCASE: a typed non-digit is dropped, typed letters become capitals. The
// program's own SetWindowText is not filtered, as on Windows for ES_NUMBER.
class EditFilter final : public QValidator {
 public:
  EditFilter(bool digitsOnly, bool upperCase, QObject* parent)
      : QValidator(parent), digitsOnly_(digitsOnly), upperCase_(upperCase) {}
  State validate(QString& input, int& pos) const override;

 private:
  bool digitsOnly_;
  bool upperCase_;
};

}  // namespace varnet::qt
