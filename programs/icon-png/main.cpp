// icon-png DIR: writes icon 128 as the desktop's PNG icons, DIR/NxN/apps/varnet-test.png for the
// usual sizes, from the same pixel table as the Windows icon and the Qt window icon.
#include <QImage>
#include <QString>
#include <filesystem>
#include <iostream>

#include "host_qt/app_icon_qt.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: icon-png DIR\n";
    return 2;
  }
  const QImage picture = varnet::qt::AppIconImage();
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    // Whole multiples keep the picture's hard pixel edges; the smaller sizes are smoothed.
    const Qt::TransformationMode mode =
        size % picture.width() == 0 ? Qt::FastTransformation : Qt::SmoothTransformation;
    const QImage scaled = picture.scaled(size, size, Qt::IgnoreAspectRatio, mode);
    const std::string side = std::to_string(size);
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / (side + "x" + side) / "apps";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::filesystem::path file = folder / "varnet-test.png";
    if (!scaled.save(QString::fromStdString(file.string()), "PNG")) {
      std::cerr << "icon-png: cannot write " << file.string() << "\n";
      return 1;
    }
  }
  return 0;
}
