// What Open hands to a new monitor thread. The thread owns it from its start and releases it
// before its loop.
#pragma once

#include "framework/one_shot_signal.h"

#include "platform/win_types.h"

class CTestDlg;

struct MonitorStartBlock {
  varnet::Handle port;
  varnet::Handle stopEvent;
  varnet::Overlapped overlapped;  // its event is the monitor event
  CTestDlg* dialog;
  // Set once the thread has armed its first comm-event wait. Lives with Open, which waits
  // for it.
  varnet::framework::OneShotSignal* armed;
};
