#include "host_qt/compact_style.h"

#include <QProxyStyle>
#include <QStyleFactory>

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
};

}  // namespace

std::unique_ptr<QStyle> MakeCompactStyle() { return std::make_unique<CompactStyle>(); }

}  // namespace varnet::qt
