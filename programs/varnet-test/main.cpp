// varnet-test: the dialog on Qt widgets, on the machine's own serial ports (COM1 to COM15 map to
// USB serial device files, see platform_posix/com_device_map.h) with descriptors from sysfs.
// Drive c: is a folder in the user's data directory; Open TXT shows the data file through
// xdg-open.
#include <QApplication>

#include "app/test_app.h"
#include "host_qt/qt_host.h"
#include "platform_posix/posix_platform.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);

  const std::unique_ptr<varnet::posix::PosixPlatform> posix = varnet::posix::MakePosixPlatform();

  CTestApp app;
  app.SetPlatform(&posix->Services());
  varnet::qt::QtHost host(app);
  app.AttachRunner(&host);
  // InitInstance runs the dialog modally through the host and returns FALSE: the process ends
  // when the dialog closes.
  app.InitInstance();
  return 0;
}
