// Where the windowed program keeps drive c:.
#include <gtest/gtest.h>

#include "desktop/user_drive_c.h"

namespace {

TEST(UserDriveC, FollowsTheXdgDataHomeRules) {
  struct Case {
    const char* xdgDataHome;
    const char* home;
    const char* expected;
  };
  const Case cases[] = {
      {"/data", "/home/u", "/data/varnet-test/drive_c"},
      {nullptr, "/home/u", "/home/u/.local/share/varnet-test/drive_c"},
      {"", "/home/u", "/home/u/.local/share/varnet-test/drive_c"},
      {"relative/data", "/home/u", "/home/u/.local/share/varnet-test/drive_c"},  // ignored
      {nullptr, nullptr, "drive_c"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(varnet::desktop::UserDriveCFolder(c.xdgDataHome, c.home).string(), c.expected)
        << (c.xdgDataHome ? c.xdgDataHome : "(unset)");
  }
}

}  // namespace
