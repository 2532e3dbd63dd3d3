// The Qt host on real widgets: the template's geometry, the controls' own behaviour, the lists,
// the context menu, the keys, the message pump and the cross-thread calls.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <atomic>
#include <string>
#include <thread>

#include "app/test_app.h"
#include "app/test_dlg.h"
#include "host_qt/list_box.h"
#include "host_qt/qt_host.h"
#include "resources/control_ids.h"
#include "resources/dialog_template.h"
#include "tests/support/dialog_fixture.h"
#include "tests/support/null_platform.h"

namespace {

using varnet::qt::QtHost;
namespace ids = varnet::ids;
namespace resources = varnet::resources;

class QtHostTest : public varnet::testing::DialogOnHost<QtHost> {
 protected:
  QAbstractButton* Button(int id) { return qobject_cast<QAbstractButton*>(host.Widget(id)); }
};

TEST_F(QtHostTest, BaseUnitsAndWindowSizeAsWindowsComputesThemForTheTemplateFont) {
  // Times New Roman (or Liberation Serif, with the same metrics) at 9 pt on a 96 dpi screen.
  EXPECT_EQ(host.Units().x, 7);
  EXPECT_EQ(host.Units().y, 14);
  EXPECT_EQ(host.Window()->size(), QSize(670, 480));
  EXPECT_EQ(host.Window()->windowTitle().toStdString(), "Varnet Test Program Ver 3.1.4.5");
  EXPECT_FALSE(host.Window()->windowIcon().isNull());
}

TEST_F(QtHostTest, EveryControlSitsAtItsTemplateRectangleAndCombosAreOneLineHigh) {
  const varnet::qt::BaseUnits units = host.Units();
  for (const resources::ControlDef& def : resources::MainDialog().controls) {
    if (def.id == resources::kStaticId) {
      continue;
    }
    SCOPED_TRACE(def.id);
    const QRect expected = varnet::qt::ToPixels(def.rect, units);
    const QRect actual = host.Widget(def.id)->geometry();
    EXPECT_EQ(actual.topLeft(), expected.topLeft());
    EXPECT_EQ(actual.width(), expected.width());
    if (resources::IsComboBox(def.kind)) {
      EXPECT_EQ(actual.height(), varnet::qt::DluToPixelsY(12, units));
    } else {
      EXPECT_EQ(actual.height(), expected.height());
    }
  }
}

TEST_F(QtHostTest, AClickChangesACheckMarkOnlyWhereTheControlDoesItItself) {
  struct Case {
    int id;
    int afterOneClick;
  };
  const Case cases[] = {
      {ids::kRand, 1},             // automatic check box
      {ids::kFix, 1},              // automatic check box
      {ids::kGp0OutputEnable, 0},  // manual: the program sets the mark (nothing here does)
      {ids::kLog, 0},              // manual, push-like and disabled
      {ids::kSendBreakSet, 0},     // a push button has no mark
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    host.Click(c.id);
    EXPECT_EQ(host.GetCheck(c.id), c.afterOneClick);
  }
  host.SetCheck(ids::kDtr, 1);
  EXPECT_EQ(host.GetCheck(ids::kDtr), 1);
  EXPECT_TRUE(Button(ids::kDtr)->isChecked());
}

TEST_F(QtHostTest, TheFlowRadioButtonsCheckOneAtATimeAndTheProgramCanClearThemAll) {
  const int radios[] = {ids::kHardwareFlow, ids::kSoftwareFlow, ids::kNoFlow};
  for (int chosen : radios) {
    Button(chosen)->click();
    Button(chosen)->click();  // a second click leaves it checked
    for (int other : radios) {
      EXPECT_EQ(host.GetCheck(other), other == chosen ? 1 : 0) << chosen << " " << other;
    }
  }
  for (int id : radios) {
    host.SetCheck(id, 0);
  }
  for (int id : radios) {
    EXPECT_EQ(host.GetCheck(id), 0);
  }
}

TEST_F(QtHostTest, TypingGoesThroughTheBoxFiltersButTheProgramsTextDoesNot) {
  host.Type(ids::kLoopTimes, "1a2-3");
  EXPECT_EQ(host.GetWindowText(ids::kLoopTimes), "123");
  host.Type(ids::kFixValue, "fe\xe9z");
  EXPECT_EQ(host.GetWindowText(ids::kFixValue), "FE\xe9Z");  // only a to z become capitals
  host.SetWindowText(ids::kBulkLen, "x1");
  EXPECT_EQ(host.GetWindowText(ids::kBulkLen), "x1");
  host.Type(ids::kGp0Value, "5");  // disabled: ignored
  EXPECT_EQ(host.GetWindowText(ids::kGp0Value), "");
}

TEST_F(QtHostTest, TheProgramsSelectionSendsNoNotificationAndAPersonsChoiceAlwaysDoes) {
  host.SetWindowText(ids::kDriverName, "mine");
  host.SetCurSel(ids::kPortList, 4);
  EXPECT_EQ(host.GetWindowText(ids::kDriverName), "mine");
  host.Select(ids::kPortList, 4);  // already selected: the notification still comes
  EXPECT_EQ(host.GetWindowText(ids::kDriverName), "COM5");
  host.Select(ids::kPortList, 15);
  EXPECT_EQ(host.GetWindowText(ids::kPortList), "");
  EXPECT_EQ(host.GetWindowText(ids::kDriverName), "");
}

TEST_F(QtHostTest, TheEditableRateBoxTakesAnyTextAndItsItemsByIndex) {
  EXPECT_EQ(host.GetWindowText(ids::kBaudRate), "115200");
  host.Type(ids::kBaudRate, "12345");
  EXPECT_EQ(host.GetWindowText(ids::kBaudRate), "12345");
  host.Select(ids::kBaudRate, 0);
  EXPECT_EQ(host.GetWindowText(ids::kBaudRate), "0");
  EXPECT_EQ(host.GetItemText(ids::kBaudRate, 30), "6000000");
}

TEST_F(QtHostTest, ClearActsOnTheListTheMenuWasOpenedOverAfterTheMenuHasClosed) {
  dialog.AddResponse("response");
  dialog.AddResult("result");
  host.ContextMenu(ids::kResultList, true);
  EXPECT_EQ(g_nContextList, 1);
  EXPECT_TRUE(Results().empty());
  EXPECT_EQ(Responses(), std::vector<std::string>{"response"});
  dialog.AddResult("again");
  host.ContextMenu(ids::kCommandResponseList, false);  // dismissed: recorded, nothing cleared
  EXPECT_EQ(g_nContextList, 2);
  EXPECT_EQ(Responses().size(), 1u);
  host.ContextMenu(ids::kLen, true);  // no menu over an edit box
  EXPECT_EQ(g_nContextList, 2);
  EXPECT_EQ(Results(), std::vector<std::string>{"again"});
}

TEST_F(QtHostTest, ARightClickOnAListReachesTheDialogThroughTheWidgets) {
  dialog.AddResult("result");
  host.UpdateListViews();
  // A person's right-click: a context-menu event on the list's viewport, which the list leaves to
  // the dialog. The menu is shown modally; close it as soon as it is up.
  QTimer::singleShot(0, [] {
    if (QWidget* popup = QApplication::activePopupWidget()) {
      popup->close();
    }
  });
  auto* list = dynamic_cast<QAbstractScrollArea*>(host.Widget(ids::kResultList));
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                          list->viewport()->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(list->viewport(), &event);
  EXPECT_EQ(g_nContextList, 1);
  EXPECT_EQ(Results().size(), 1u);
}

TEST_F(QtHostTest, EnterOnAFocusedPushButtonClicksItAndElsewhereEndsTheDialog) {
  dialog.AddResponse("line");
  QWidget* clearAll = host.Widget(ids::kClearAll);
  clearAll->setFocus();
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(clearAll, &enter);
  EXPECT_TRUE(Responses().empty());
  EXPECT_FALSE(host.Ended());

  host.Type(ids::kLen, "77");
  host.PressKey(varnet::framework::Key::Enter);
  EXPECT_TRUE(host.Ended());
  EXPECT_EQ(dialog.m_strLen, "77");  // copied into the member before the end
  EXPECT_EQ(host.ModalResult(), varnet::framework::kIdOk);
}

TEST_F(QtHostTest, EscapeEndsWithoutCopying) {
  host.Type(ids::kLen, "77");
  host.PressKey(varnet::framework::Key::Escape);
  EXPECT_TRUE(host.Ended());
  EXPECT_EQ(dialog.m_strLen, "512");
  EXPECT_EQ(host.ModalResult(), varnet::framework::kIdCancel);
}

TEST_F(QtHostTest, APumpRunsPostedActionsInOrderAndEnds) {
  std::vector<int> ran;
  host.Post([&] { ran.push_back(1); });
  host.Post([&] {
    host.Click(ids::kClearAll);
    ran.push_back(2);
  });
  dialog.AddResponse("x");
  EXPECT_TRUE(dialog.PumpMessages());
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
  EXPECT_TRUE(Responses().empty());
  EXPECT_TRUE(dialog.PumpMessages());  // nothing waiting: one round of events, then back
}

TEST_F(QtHostTest, APumpMeetingTheQuitRequestReturnsFalseAndLeavesOneQueued) {
  host.PostQuitMessage(0);
  EXPECT_FALSE(dialog.PumpMessages());
  EXPECT_TRUE(host.PeekMessage());
  EXPECT_FALSE(host.PumpMessage());
}

TEST_F(QtHostTest, TheListViewCatchesUpWithTheNewestLineInView) {
  auto* view = dynamic_cast<varnet::qt::ListBox*>(host.Widget(ids::kResultList));
  ASSERT_NE(view, nullptr);
  for (int i = 0; i < 20000; ++i) {
    dialog.AddResult("line " + std::to_string(i));
  }
  EXPECT_EQ(host.ListCurSel(ids::kResultList), 19999);
  host.UpdateListViews();
  ASSERT_EQ(view->ShownCount(), 20000);
  EXPECT_LE(view->TopIndex(), 19999);
  EXPECT_GT(view->TopIndex() + view->VisibleRows(), 19999);
  EXPECT_EQ(view->VisibleRows(), view->viewport()->height() / 14);
  host.ResetContent(ids::kResultList);
  EXPECT_EQ(view->ShownCount(), 0);
  EXPECT_EQ(view->TopIndex(), 0);
  EXPECT_EQ(host.ListCurSel(ids::kResultList), -1);
}

TEST(QtHostModal, LinesFromAnotherThreadArriveWhileTheModalRunWaits) {
  varnet::testing::NullPlatform platform;
  CTestApp app;
  QtHost host(app);
  CTestDlg dialog(platform.services);
  app.AttachRunner(&host);
  std::thread worker;
  std::atomic<bool> done = false;
  // Once the modal loop runs, a worker hands over lines; each waits until the window's thread
  // has appended it, so without the wake-up the worker would wait for ever.
  QTimer::singleShot(0, [&] {
    worker = std::thread([&] {
      for (int i = 0; i < 200; ++i) {
        dialog.AddResponse("line " + std::to_string(i));
      }
      done = true;
    });
  });
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (done) {
      host.PressKey(varnet::framework::Key::Escape);
    }
  });
  poll.start(5);
  EXPECT_EQ(dialog.DoModal(), varnet::framework::kIdCancel);
  worker.join();
  const std::vector<std::string> lines = host.Lines(ids::kCommandResponseList);
  ASSERT_EQ(lines.size(), 200u);
  EXPECT_EQ(lines.front(), "line 0");
  EXPECT_EQ(lines.back(), "line 199");
}

}  // namespace
