#include "host_qt/app_icon_qt.h"

#include <QImage>
#include <QPixmap>

#include "resources/app_icon.h"

namespace varnet::qt {

QImage AppIconImage() {
  const resources::AppIconPicture& picture = resources::AppIcon();
  constexpr int kSize = resources::AppIconPicture::kSize;
  QImage image(kSize, kSize, QImage::Format_ARGB32);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const std::size_t at = static_cast<std::size_t>(y * kSize + x);
      const resources::Rgb colour = picture.palette[picture.pixels[at] & 15u];
      image.setPixel(
          x, y, picture.transparent[at] ? qRgba(0, 0, 0, 0) : qRgb(colour.red, colour.green, colour.blue));
    }
  }
  return image;
}

QIcon MakeAppIcon() { return QIcon(QPixmap::fromImage(AppIconImage())); }

}  // namespace varnet::qt
