#include "host_qt/template_controls.h"

namespace varnet::qt {

void TemplateButton::nextCheckState() {
  if (next_) {
    next_();
  } else {
    QPushButton::nextCheckState();
  }
}

void TemplateCheckBox::nextCheckState() {
  if (next_) {
    next_();
  } else {
    QCheckBox::nextCheckState();
  }
}

QValidator::State EditFilter::validate(QString& input, int& /*pos*/) const {
  for (QChar& c : input) {
    if (digitsOnly_ && (c < QLatin1Char('0') || c > QLatin1Char('9'))) {
      return Invalid;
    }
    // Only a to z: the capitals of other letters depend on a code page that the lists do not share.
    if (upperCase_ && c >= QLatin1Char('a') && c <= QLatin1Char('z')) {
      c = QChar(c.unicode() - 'a' + 'A');
    }
  }
  return Acceptable;
}

}  // namespace varnet::qt
