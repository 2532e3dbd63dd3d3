// The dialog's own behaviour and its two output lists, on the headless host with no adapter.
#include <gtest/gtest.h>

#include <string>

#include "app/test_app.h"
#include "app/test_dlg.h"
#include "host_headless/headless_host.h"
#include "resources/control_ids.h"
#include "tests/support/dialog_fixture.h"
#include "tests/support/null_platform.h"

namespace {

using varnet::headless::HeadlessHost;
namespace ids = varnet::ids;

using DialogTest = varnet::testing::DialogOnHost<HeadlessHost>;

TEST_F(DialogTest, OpensWithTheDefaultsOfTheNtFamily) {
  EXPECT_EQ(dialog.m_bWinNT, 1);
  EXPECT_EQ(dialog.m_hComPort, varnet::kInvalidHandle);
  EXPECT_EQ(dialog.m_hDriver, varnet::kInvalidHandle);
  EXPECT_EQ(dialog.m_pMonitorThread, nullptr);
  EXPECT_EQ(dialog.m_strLen, "512");
  EXPECT_EQ(dialog.m_strLoopTimes, "1");
  EXPECT_EQ(dialog.m_strFixValue, "0");
  EXPECT_EQ(host.GetWindowText(ids::kDriverName), "COM3");
  EXPECT_TRUE(Responses().empty());
  EXPECT_TRUE(Results().empty());
}

TEST(DialogFamily, The9xFamilyNamesTheDriverAndIgnoresThePortChoice) {
  varnet::testing::NullPlatform platform(0xC0000A04u);
  CTestApp app;
  HeadlessHost host(app);
  CTestDlg dialog(platform.services);
  host.Open(dialog);
  EXPECT_EQ(dialog.m_bWinNT, 0);
  EXPECT_EQ(host.GetWindowText(ids::kDriverName), "RARUDA-1");
  host.Select(ids::kPortList, 5);
  EXPECT_EQ(host.GetWindowText(ids::kDriverName), "RARUDA-1");
  host.Close();
}

TEST_F(DialogTest, AppendsEachLineAndMakesItCurrent) {
  dialog.AddResponse("first");
  dialog.AddResponse("");
  dialog.AddResult("value");
  EXPECT_EQ(Responses(), (std::vector<std::string>{"first", ""}));
  EXPECT_EQ(host.ListCurSel(ids::kCommandResponseList), 1);
  EXPECT_EQ(Results(), (std::vector<std::string>{"value"}));
  EXPECT_EQ(host.ListCurSel(ids::kResultList), 0);
}

TEST_F(DialogTest, ALineEndsAtAZeroByteAsAListTakesACString) {
  dialog.AddResult(std::string("Offset  1: 0x00 - \0tail", 23));
  EXPECT_EQ(Results(), (std::vector<std::string>{"Offset  1: 0x00 - "}));
}

TEST_F(DialogTest, ValueLinesShowAtLeastTwoHexDigitsAndNeverTruncate) {
  struct Case {
    std::int32_t value;
    const char* line;
  };
  const Case cases[] = {
      {0, "v: 0x00"}, {255, "v: 0xFF"}, {4660, "v: 0x1234"}, {0x0110, "v: 0x110"}, {-1, "v: 0xFFFFFFFF"}};
  for (const Case& c : cases) {
    dialog.AddResultValue(c.value, "v");
    EXPECT_EQ(Results().back(), c.line);
  }
  const std::string name(300, 'n');
  dialog.AddResultValue(18, name);
  EXPECT_EQ(Results().back(), name + ": 0x12");
}

TEST_F(DialogTest, ClearActsOnTheListTheMenuWasOpenedOver) {
  dialog.AddResponse("response");
  dialog.AddResult("result");

  host.ContextMenu(ids::kResultList, true);
  EXPECT_EQ(g_nContextList, 1);
  EXPECT_TRUE(Results().empty());
  EXPECT_EQ(Responses().size(), 1u);

  dialog.AddResult("again");
  host.ContextMenu(ids::kCommandResponseList, true);
  EXPECT_EQ(g_nContextList, 2);
  EXPECT_TRUE(Responses().empty());
  EXPECT_EQ(Results().size(), 1u);
}

TEST_F(DialogTest, AMenuDismissedRecordsTheListButClearsNothing) {
  dialog.AddResult("kept");
  host.ContextMenu(ids::kResultList, false);
  EXPECT_EQ(g_nContextList, 1);
  EXPECT_EQ(Results().size(), 1u);
  EXPECT_EQ(host.MenusShown(), 1);
}

TEST_F(DialogTest, ARightClickElsewhereShowsNoMenuAndKeepsTheRecord) {
  host.ContextMenu(ids::kResultList, false);
  host.ContextMenu(ids::kOpen, true);
  host.ContextMenu(ids::kLen, true);
  EXPECT_EQ(host.MenusShown(), 1);
  EXPECT_EQ(g_nContextList, 1);
}

TEST_F(DialogTest, ClearWithNoMenuYetDoesNothing) {
  dialog.AddResult("kept");
  dialog.AddResponse("kept");
  dialog.OnClear();
  EXPECT_EQ(Results().size(), 1u);
  EXPECT_EQ(Responses().size(), 1u);
}

TEST_F(DialogTest, ClearAllEmptiesBothLists) {
  dialog.OnClearAll();  // on empty lists: nothing to see
  dialog.AddResponse("a");
  dialog.AddResult("b");
  host.Click(ids::kClearAll);
  EXPECT_TRUE(Responses().empty());
  EXPECT_TRUE(Results().empty());
}

TEST_F(DialogTest, PumpMessagesRunsWhatIsQueued) {
  bool ran = false;
  host.Post([&] { ran = true; });
  EXPECT_TRUE(dialog.PumpMessages());
  EXPECT_TRUE(ran);
}

TEST_F(DialogTest, PumpMessagesMeetingTheQuitRequestReturnsFalseAndLeavesOneQueued) {
  bool ranAfter = false;
  app.PostQuitMessage(0);
  host.Post([&] { ranAfter = true; });
  EXPECT_FALSE(dialog.PumpMessages());
  EXPECT_FALSE(ranAfter);
  // The quit request left for the caller's loop is behind what was queued.
  EXPECT_TRUE(host.PeekMessage());
  EXPECT_TRUE(host.PumpMessage());  // the posted action
  EXPECT_TRUE(ranAfter);
  EXPECT_FALSE(host.PumpMessage());  // the quit request
  EXPECT_FALSE(host.PeekMessage());
}

TEST_F(DialogTest, IncrementFollowsItsBox) {
  host.Click(ids::kIncrement);
  EXPECT_EQ(dialog.m_bIncrement, 1);
  EXPECT_EQ(host.GetCheck(ids::kIncrement), 1);
  host.Click(ids::kIncrement);
  EXPECT_EQ(dialog.m_bIncrement, 0);
  EXPECT_EQ(host.GetCheck(ids::kIncrement), 0);
}

TEST_F(DialogTest, EnterCopiesTheControlsIntoTheMembersThenEnds) {
  host.Type(ids::kLen, "77");
  host.Click(ids::kRand);
  host.Type(ids::kFixValue, "a5");
  host.PressKey(varnet::framework::Key::Enter);
  EXPECT_EQ(dialog.m_strLen, "77");
  EXPECT_EQ(dialog.m_bRand, 1);
  EXPECT_EQ(dialog.m_strFixValue, "A5");
  EXPECT_TRUE(host.Ended());
  EXPECT_EQ(host.ModalResult(), varnet::framework::kIdOk);
}

TEST_F(DialogTest, EscapeEndsWithoutCopying) {
  host.Type(ids::kLen, "77");
  host.PressKey(varnet::framework::Key::Escape);
  EXPECT_EQ(dialog.m_strLen, "512");
  EXPECT_TRUE(host.Ended());
  EXPECT_EQ(host.ModalResult(), varnet::framework::kIdCancel);
}

// A host whose window is minimised, recording where the icon is drawn.
class IconicHost : public HeadlessHost {
 public:
  using HeadlessHost::HeadlessHost;
  bool IsIconic() override { return true; }
  varnet::framework::Size GetClientSize() override { return {37, 36}; }
  void PaintIcon(varnet::framework::IconHandle icon, int x, int y) override {
    paintedIcon = icon;
    paintedX = x;
    paintedY = y;
  }
  varnet::framework::IconHandle paintedIcon = 0;
  int paintedX = -1;
  int paintedY = -1;
};

TEST(DialogPaint, AMinimisedWindowDrawsItsIconInTheMiddle) {
  varnet::testing::NullPlatform platform;
  CTestApp app;
  IconicHost host(app);
  CTestDlg dialog(platform.services);
  host.Open(dialog);
  dialog.OnPaint();
  EXPECT_EQ(host.paintedIcon, dialog.m_hIcon);
  EXPECT_EQ(dialog.OnQueryDragIcon(), dialog.m_hIcon);
  EXPECT_EQ(host.paintedX, (37 - 32 + 1) / 2);
  EXPECT_EQ(host.paintedY, (36 - 32 + 1) / 2);
  host.Close();
}

}  // namespace
