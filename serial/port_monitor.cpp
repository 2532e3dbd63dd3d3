// The line-event monitor thread: waits on the port's comm events and on its stop event, and
// appends one line per event bit to the Command Response list.
#include <array>
#include <memory>
#include <string_view>

#include "app/test_dlg.h"
#include "framework/activity.h"
#include "serial/monitor_start_block.h"

using namespace varnet;

namespace {

struct LineEvent {
  DWORD bit;
  std::string_view line;
};

// Tested in this order; one line per bit set.
constexpr std::array<LineEvent, 6> kLineEvents = {{
    {CommEvent::kErr, "Line Status ERROR!"},
    {CommEvent::kCts, "CTS Changed!"},
    {CommEvent::kDsr, "DSR Changed!"},
    {CommEvent::kBreak, "BREAK ERROR!"},
    {CommEvent::kRing, "RI Changed!"},
    {CommEvent::kRlsd, "DCD Changed!"},
}};

}  // namespace

unsigned CTestDlg::MonitorThreadProc(void* startBlock) {
  framework::BusyScope busy;

  std::unique_ptr<MonitorStartBlock> block(static_cast<MonitorStartBlock*>(startBlock));
  const Handle port = block->port;
  const Handle stopEvent = block->stopEvent;
  Overlapped overlapped = block->overlapped;
  CTestDlg* const dialog = block->dialog;
  framework::OneShotSignal* armed = block->armed;
  block.reset();

  SerialApi& serial = dialog->m_platform.serial;
  DWORD mask = 0;
  for (;;) {
    mask = 0;
    // After the port has been closed this fails at once and the loop rests in the wait below
    // until the stop event comes.
    serial.WaitCommEvent(port, &mask, &overlapped);
    if (armed != nullptr) {
      // Open goes on only now, so that the events its later steps cause find a wait pending.
      armed->Set();
      armed = nullptr;
    }
    const DWORD result = serial.WaitForStopOrPortEvent(stopEvent, overlapped.hEvent);
    if (result == kWaitObject0) {
      return 0;
    }
    if (result != kWaitObject0 + 1) {
      continue;
    }
    for (const LineEvent& event : kLineEvents) {
      if ((mask & event.bit) != 0) {
        dialog->AddResponse(event.line);
      }
    }
    dialog->PumpMessages();
  }
}
