#include "host_qt/compact_style.h"

#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionComplex>

namespace varnet::qt {
namespace {

class CompactStyle final : public QProxyStyle {
 public:
  CompactStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
    switch (metric) {
      case PM_ButtonMargin:
        return 2;  // a Win32 push button leaves about a pixel around its caption
      case PM_ButtonShiftHorizontal:
      case PM_ButtonShiftVertical:
        return 1;
      default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
  }

  // A Win32 combo box's arrow is a narrow scroll-bar button, which leaves room for "None" in a
  // 25-unit box; Fusion's is twice as wide.
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                       const QWidget* widget) const override {
    if (control == CC_ComboBox && (sub == SC_ComboBoxArrow || sub == SC_ComboBoxEditField)) {
      constexpr int kArrowWidth = 14;
      constexpr int kFrame = 2;
      const QRect rect = option->rect;
      const QRect arrow(rect.right() - kFrame - kArrowWidth + 1, rect.top() + kFrame, kArrowWidth,
                        rect.height() - 2 * kFrame);
      const QRect field(rect.left() + kFrame + 1, rect.top() + kFrame,
                        arrow.left() - rect.left() - kFrame - 1, rect.height() - 2 * kFrame);
      return visualRect(option->direction, rect, sub == SC_ComboBoxArrow ? arrow : field);
    }
    return QProxyStyle::subControlRect(control, option, sub, widget);
  }
};

}  // namespace

std::unique_ptr<QStyle> MakeCompactStyle() { return std::make_unique<CompactStyle>(); }

}  // namespace varnet::qt
