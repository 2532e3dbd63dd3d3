// Opening and closing the COM port, with the line-event monitor thread.
#include <memory>
#include <string>

#include "app/test_dlg.h"
#include "framework/one_shot_signal.h"
#include "framework/win_app.h"
#include "resources/control_ids.h"
#include "serial/monitor_start_block.h"

using namespace varnet;

namespace {

// Comm events that wake the monitor: EV_RXFLAG, EV_CTS, EV_DSR, EV_RLSD, EV_BREAK, EV_ERR and
// EV_RING. Received characters are left out: only the data handlers read the port.
constexpr DWORD kMonitorMask = CommEvent::kRxFlag | CommEvent::kCts | CommEvent::kDsr | CommEvent::kRlsd |
                               CommEvent::kBreak | CommEvent::kErr | CommEvent::kRing;
static_assert(kMonitorMask == 0x1FA);

}  // namespace

void CTestDlg::OnOpen() {
  if (m_hComPort != kInvalidHandle) {
    OnClose();
  }
  const int index = Host().GetCurSel(ids::kPortList);
  if (index < 0) {
    return;
  }
  const std::string name = Host().GetItemText(ids::kPortList, index);
  m_hComPort = m_platform.serial.OpenPort("\\\\.\\" + name);
  AddResponse("OPEN " + name + " port " + (m_hComPort != kInvalidHandle ? "Successfully!" : "FAILED."));
  if (m_hComPort == kInvalidHandle) {
    return;
  }

  // A read returns at once with what has arrived; a write may take 5 ms a byte plus a second.
  CommTimeouts timeouts;
  m_platform.serial.GetCommTimeouts(m_hComPort, timeouts);
  timeouts.ReadIntervalTimeout = kMaxDword;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = 0;
  timeouts.WriteTotalTimeoutMultiplier = 5;
  timeouts.WriteTotalTimeoutConstant = 1000;
  m_platform.serial.SetCommTimeouts(m_hComPort, timeouts);

  Host().SetCheck(ids::kHardwareFlow, 0);
  Host().SetCheck(ids::kSoftwareFlow, 0);
  Host().SetCheck(ids::kNoFlow, 1);
  DisableFlowControl();

  m_platform.serial.SetCommMask(m_hComPort, kMonitorMask);

  m_hMonitorEvent = m_platform.serial.CreateEvent(false, false);
  m_hStopEvent = m_platform.serial.CreateEvent(false, false);
  const bool eventsMade = m_hMonitorEvent != kInvalidHandle && m_hStopEvent != kInvalidHandle;
  if (!eventsMade) {
    // A monitor without both events could neither wait nor be stopped: run the port without it.
    if (m_hMonitorEvent != kInvalidHandle) {
      m_platform.serial.CloseEvent(m_hMonitorEvent);
    }
    if (m_hStopEvent != kInvalidHandle) {
      m_platform.serial.CloseEvent(m_hStopEvent);
    }
    m_hMonitorEvent = kInvalidHandle;
    m_hStopEvent = kInvalidHandle;
  }

  if (eventsMade && !m_pMonitorThread) {
    // The monitor owns the block from its start. Open waits until the monitor's first
    // comm-event wait is armed, so that the line changes caused by the steps below (raising DTR
    // and RTS) are reported by that wait, always in the same way.
    framework::OneShotSignal armed;
    auto block = std::make_unique<MonitorStartBlock>(
        MonitorStartBlock{m_hComPort, m_hStopEvent, m_olMonitor, this, &armed});
    m_pMonitorThread = framework::CWinThread::Begin(&CTestDlg::MonitorThreadProc, block.release(),
                                                    framework::AfxGetApp()->Calls());
    armed.Wait();
  }

  OnSetPortStatus();
  OnOpenDrv();
  SetDtr(true);
  SetRts(true);
}

void CTestDlg::OnClose() {
  if (m_hComPort == kInvalidHandle) {
    return;
  }
  SetDtr(false);
  SetRts(false);
  Host().SetCheck(ids::kHardwareFlow, 0);
  Host().SetCheck(ids::kSoftwareFlow, 0);
  Host().SetCheck(ids::kNoFlow, 0);
  // The port goes first: its pending comm-event wait ends, and the monitor then finds the stop
  // event at its next wait.
  m_platform.serial.ClosePort(m_hComPort);
  m_hComPort = kInvalidHandle;
  StopMonitorThread();
  AddResponse("Close COM port Successfully!");
  OnCloseDrv();
}
