// The style the dialog's widgets are drawn in: Fusion, with the tight margins of the Win32
// controls, so that the captions of the template's small buttons fit as they do on Windows.
#pragma once

#include <QStyle>
#include <memory>

namespace varnet::qt {

std::unique_ptr<QStyle> MakeCompactStyle();

}  // namespace varnet::qt
