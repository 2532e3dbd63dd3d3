// The main dialog: every control's handler and the program's whole state record.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "framework/dialog.h"
#include "framework/win_thread.h"
#include "platform/platform.h"

// Over which list the context menu was last opened: 1 the Result list, 2 the Command Response
// list, 0 before the first time.
extern int g_nContextList;

namespace varnet::driver {
struct GpPin;  // what tells GP0 from GP1 (driver/gp_pins.cpp)
class DriverRequests;
}  // namespace varnet::driver

class CTestDlg : public varnet::framework::CDialog {
 public:
  explicit CTestDlg(const varnet::Platform& platform);
  ~CTestDlg() override;

  // Output lists.
  void AddResponse(std::string_view line);
  void AddResult(std::string_view line);
  void AddResultValue(std::int32_t value, std::string_view name);
  bool PumpMessages();

  // The base dialog's hooks.
  bool OnInitDialog() override;
  void OnDestroy() override;
  void OnPaint() override;
  varnet::framework::IconHandle OnQueryDragIcon() override;
  void OnContextMenu(int windowId, varnet::framework::Point screenPoint) override;

  // Handlers of the command table.
  void OnClear();
  void OnClearAll();
  void OnSelChangePort();
  void OnIncrement();
  void OnOpen();
  void OnClose();
  void OnSetPortStatus();
  void OnGetPortStatus();
  void OnDtr();
  void OnRts();
  void OnHardwareFlow();
  void OnSoftwareFlow();
  void OnNoFlow();
  void OnLog();
  void OnWriteData();
  void OnReadData();
  void OnOpenTxt();
  void OnSendTxt();
  void OnLoopCheck();
  void OnOpenDrv();
  void OnCloseDrv();
  void OnDeviceDesc();
  void OnConfigDesc();
  void OnStringDesc();
  void OnSetCommand();
  void OnGetCommand();
  void OnSetLineState();
  void OnSetFeature();
  void OnGetFeature();
  void OnClearFeature();
  void OnReadInterrupt();
  void OnWriteBulk();
  void OnReadBulk();
  void OnEepromWrite();
  void OnEepromReadData();
  void OnEepromReadStatus();
  void OnGp0OutputEnable();
  void OnGp0GetValue();
  void OnGp0SetValue();
  void OnGp1OutputEnable();
  void OnGp1GetValue();
  void OnGp1SetValue();

  // Routines that Open and Close call.
  void SetHardwareFlowControl();
  void SetSoftwareFlowControl();
  void DisableFlowControl();
  void SetDtr(bool on);
  void SetRts(bool on);

  // The line-event monitor thread.
  static unsigned MonitorThreadProc(void* startBlock);

  // The state record, in its fixed order.
  varnet::Handle m_hComPort = varnet::kInvalidHandle;
  varnet::Handle m_hDriver = varnet::kInvalidHandle;
  varnet::Dcb m_dcb;
  int m_bIncrement = 0;
  int m_bWinNT = 0;
  varnet::Overlapped m_olMonitor;
  varnet::Handle& m_hMonitorEvent = m_olMonitor.hEvent;  // the event of m_olMonitor, by its own name
  std::unique_ptr<varnet::framework::CWinThread> m_pMonitorThread;
  varnet::Handle m_hStopEvent = varnet::kInvalidHandle;
  std::uint8_t m_bDtr = 0;
  std::uint8_t m_bRts = 0;
  std::uint8_t m_bLog = 0;
  std::unique_ptr<varnet::File> m_pLogFile;
  std::string m_strLen;
  std::string m_strLoopTimes;
  int m_bRand = 0;
  varnet::framework::IconHandle m_hIcon = 0;
  std::string m_strFixValue;
  int m_bFix = 0;
  int m_bGp0OutputEnable = 0;
  int m_bGp1OutputEnable = 0;

 protected:
  void DoDataExchange(varnet::framework::CDataExchange& dx) override;
  std::span<const CommandEntry> GetCommandTable() const override;

 private:
  // The text of box `id`; when the box is empty, nullopt after the response `missing` (the
  // "Please fill in ..." line of the handler).
  std::optional<std::string> FilledIn(int id, std::string_view missing);
  // The requests of the driver channel as it is open now (or not).
  varnet::driver::DriverRequests Requests();

  void AppendAndSelect(int listId, std::string_view line);
  // Stop sequence of the monitor thread: signal, wait for its end (delivering its lines and
  // nothing else), close both events, forget the thread. The port must be closed already.
  void StopMonitorThread();

  // The GP0 and GP1 handlers, one routine each for both pins.
  void GpOutputEnable(const varnet::driver::GpPin& pin);
  void GpGetValue(const varnet::driver::GpPin& pin);
  void GpSetValue(const varnet::driver::GpPin& pin);

  const varnet::Platform& m_platform;
};
