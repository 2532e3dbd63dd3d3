// Saves a picture of the dialog as it opens, with a few lines in each list, for a person to look
// at: dialog-qt.png in the build folder.
#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <string>

#include "app/test_app.h"
#include "app/test_dlg.h"
#include "host_qt/qt_host.h"
#include "resources/control_ids.h"
#include "tests/support/null_platform.h"

namespace {

TEST(DialogScreenshot, SavesThePictureOfTheOpenDialog) {
  varnet::testing::NullPlatform platform;
  CTestApp app;
  varnet::qt::QtHost host(app);
  CTestDlg dialog(platform.services);
  host.Open(dialog);
  dialog.AddResponse("OPEN COM3 port Successfully!");
  dialog.AddResponse("Disable any flow control successfully!");
  dialog.AddResponse("SET port status Successfully!");
  dialog.AddResponse("A line long enough to run past the right edge of the Command Response list box");
  dialog.AddResultValue(18, "bLength");
  dialog.AddResultValue(0x0110, "bcdUSB");
  dialog.AddResult("A line longer than the Result list is cut");
  dialog.AddResult("------------------------------------------");
  host.SetCheck(varnet::ids::kNoFlow, 1);
  host.SetCheck(varnet::ids::kDtr, 1);
  host.UpdateListViews();

  const QImage image = host.Window()->grab().toImage();
  const std::string path = std::string(VARNET_SCREENSHOT_DIR) + "/dialog-qt.png";
  ASSERT_TRUE(image.save(QString::fromStdString(path)));
  EXPECT_EQ(image.size(), QSize(670, 480));
  host.Close();
}

}  // namespace
