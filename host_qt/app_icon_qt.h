// Icon 128 as a Qt icon, painted from the program's own pixel table.
#pragma once

#include <QIcon>

namespace varnet::qt {

QIcon MakeAppIcon();

}  // namespace varnet::qt
