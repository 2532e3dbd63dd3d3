// The dialog open on a host with no adapter at all, for the tests of the dialog and its lists on
// each host: the same fixture whichever host shows it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/test_app.h"
#include "app/test_dlg.h"
#include "resources/control_ids.h"
#include "tests/support/null_platform.h"

namespace varnet::testing {

template <typename Host>
class DialogOnHost : public ::testing::Test {
 protected:
  void SetUp() override {
    g_nContextList = 0;
    host.Open(dialog);
  }
  void TearDown() override { host.Close(); }

  std::vector<std::string> Responses() { return host.Lines(ids::kCommandResponseList); }
  std::vector<std::string> Results() { return host.Lines(ids::kResultList); }

  NullPlatform platform;
  CTestApp app;
  Host host{app};
  CTestDlg dialog{platform.services};
};

}  // namespace varnet::testing
