#include "host_qt/dialog_units.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QString>
#include <QStringList>

namespace varnet::qt {
namespace {

// MulDiv for the non-negative values of a template: the product over the divisor, rounded half up.
int MulDiv(int number, int numerator, int denominator) {
  const long long product = static_cast<long long>(number) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator : -((-product + half) / denominator));
}

}  // namespace

QFont TemplateFont(const resources::DialogDef& dialog) {
  QFont font;
  font.setFamilies(
      {QString::fromLatin1(dialog.fontName.data(), static_cast<qsizetype>(dialog.fontName.size())),
       QStringLiteral("Liberation Serif")});
  // A dialog font of N points is N * dpi / 72 pixels from em to em (a negative lfHeight).
  int dpi = 96;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    dpi = static_cast<int>(screen->logicalDotsPerInchY() + 0.5);
  }
  font.setPixelSize(MulDiv(dialog.fontPointSize, dpi, 72));
  return font;
}

BaseUnits MeasureBaseUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters =
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return BaseUnits{(letters + 26) / 52, metrics.ascent() + metrics.descent()};
}

int DluToPixelsX(int dlu, BaseUnits units) { return MulDiv(dlu, units.x, 4); }

int DluToPixelsY(int dlu, BaseUnits units) { return MulDiv(dlu, units.y, 8); }

QRect ToPixels(const resources::Rect& rect, BaseUnits units) {
  return QRect(DluToPixelsX(rect.x, units), DluToPixelsY(rect.y, units), DluToPixelsX(rect.width, units),
               DluToPixelsY(rect.height, units));
}

}  // namespace varnet::qt
