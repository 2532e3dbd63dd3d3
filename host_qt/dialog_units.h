// Dialog units as Windows converts them: the template's font gives the dialog base units (the
// average width of the 52 letters and the font's height), and every rectangle of the template is
// scaled by them.
#pragma once

#include <QFont>
#include <QRect>

#include "resources/dialog_template.h"

namespace varnet::qt {

struct BaseUnits {
  int x = 0;  // average character width in pixels
  int y = 0;  // character height in pixels
};

// The template's font at the screen's resolution: "Times New Roman" at its point size, or the
// metric-compatible Liberation Serif where Times New Roman is missing.
QFont TemplateFont(const resources::DialogDef& dialog);

// Base units of a font as GetDialogBaseUnits computes them for a dialog font: (width of
// "A".."Z""a".."z" + 26) / 52, and the font's height (ascent + descent).
BaseUnits MeasureBaseUnits(const QFont& font);

// MapDialogRect: x and widths scale by baseX / 4, y and heights by baseY / 8, rounded as MulDiv.
QRect ToPixels(const resources::Rect& rect, BaseUnits units);
int DluToPixelsX(int dlu, BaseUnits units);
int DluToPixelsY(int dlu, BaseUnits units);

}  // namespace varnet::qt
