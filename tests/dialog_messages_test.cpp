// The dialog's own message queue shared by the headless and Qt hosts: which messages the end of
// an action runs, when the dialog closes, and that a handler leaving by an exception does not
// leave the queue believing a handler still runs.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/dialog_messages.h"

namespace {

using varnet::framework::CDialog;
using varnet::framework::DialogMessages;

// Records the commands and the destruction it is given.
class RecordingDialog : public CDialog {
 public:
  RecordingDialog() : CDialog(102) {}
  void OnDestroy() override { log.push_back("destroy"); }
  std::span<const CommandEntry> GetCommandTable() const override { return table_; }

  std::vector<std::string> log;

 private:
  void OnFirst() { log.push_back("command 1"); }
  void OnSecond() { log.push_back("command 2"); }
  const std::vector<CommandEntry> table_{Route(1, 0, &RecordingDialog::OnFirst),
                                         Route(2, 0, &RecordingDialog::OnSecond)};
};

class DialogMessagesTest : public ::testing::Test {
 protected:
  DialogMessagesTest() { messages.Reset(dialog); }
  RecordingDialog dialog;
  DialogMessages messages;
};

TEST_F(DialogMessagesTest, TheEndOfAnActionRunsPostedCommandsInOrderAndKeepsPostedActions) {
  messages.PostAction([this] { dialog.log.push_back("action"); });
  messages.PostCommand(2, 0);
  messages.PostCommand(1, 0);
  EXPECT_FALSE(messages.FinishAction());
  EXPECT_EQ(dialog.log, (std::vector<std::string>{"command 2", "command 1"}));
  // The action waits for a handler that pumps.
  ASSERT_TRUE(messages.HasMessage());
  EXPECT_EQ(messages.PumpOne(), DialogMessages::Pumped::Ran);
  EXPECT_EQ(dialog.log.back(), "action");
  EXPECT_EQ(messages.PumpOne(), DialogMessages::Pumped::Nothing);
}

TEST_F(DialogMessagesTest, InsideAHandlerTheEndOfAnActionLeavesCommandsToTheHandlersPump) {
  messages.RunHandler([this] {
    messages.PostCommand(1, 0);
    EXPECT_FALSE(messages.FinishAction());
    EXPECT_TRUE(dialog.log.empty());
    EXPECT_EQ(messages.PumpOne(), DialogMessages::Pumped::Ran);
  });
  EXPECT_EQ(dialog.log, (std::vector<std::string>{"command 1"}));
}

TEST_F(DialogMessagesTest, AHandlerLeavingByAnExceptionStillEndsItsTurn) {
  EXPECT_THROW(messages.RunHandler([] { throw std::runtime_error("handler failed"); }), std::runtime_error);
  messages.PostCommand(1, 0);
  messages.FinishAction();
  EXPECT_EQ(dialog.log, (std::vector<std::string>{"command 1"}));
}

TEST_F(DialogMessagesTest, AQuitRequestEndsThePumpInItsTurn) {
  messages.PostCommand(1, 0);
  messages.PostQuit();
  EXPECT_EQ(messages.PumpOne(), DialogMessages::Pumped::Ran);
  EXPECT_EQ(messages.PumpOne(), DialogMessages::Pumped::Quit);
}

TEST_F(DialogMessagesTest, AnEndedDialogClosesOnceAndDropsWhatIsQueued) {
  messages.RunHandler([this] { messages.EndDialog(7); });
  EXPECT_TRUE(messages.FinishAction());
  messages.PostCommand(1, 0);
  EXPECT_TRUE(messages.Destroy());
  EXPECT_FALSE(messages.Destroy());
  EXPECT_FALSE(messages.FinishAction());
  EXPECT_FALSE(messages.HasMessage());
  EXPECT_EQ(messages.Result(), 7);
  EXPECT_EQ(dialog.log, (std::vector<std::string>{"destroy"}));
}

}  // namespace
