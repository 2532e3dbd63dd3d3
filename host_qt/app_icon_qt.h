// Icon 128 as a Qt icon, painted from the program's own pixel table.
#pragma once

#include <QIcon>
#include <QImage>

namespace varnet::qt {

QIcon MakeAppIcon();

// The 32 x 32 picture itself, transparent around it.
QImage AppIconImage();

}  // namespace varnet::qt
