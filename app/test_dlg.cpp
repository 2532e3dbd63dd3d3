#include "app/test_dlg.h"

#include <vector>

#include "framework/win_app.h"
#include "resources/control_ids.h"
#include "resources/dialog_template.h"

using namespace varnet;
using framework::CDataExchange;

CTestDlg::CTestDlg(const Platform& platform) : CDialog(resources::kMainDialogId), m_platform(platform) {}

CTestDlg::~CTestDlg() = default;

void CTestDlg::DoDataExchange(CDataExchange& dx) {
  framework::DDX_Text(dx, ids::kLen, m_strLen);
  framework::DDX_Text(dx, ids::kLoopTimes, m_strLoopTimes);
  framework::DDX_Check(dx, ids::kRand, m_bRand);
  framework::DDX_Text(dx, ids::kFixValue, m_strFixValue);
  framework::DDX_Check(dx, ids::kFix, m_bFix);
  framework::DDX_Check(dx, ids::kGp0OutputEnable, m_bGp0OutputEnable);
  framework::DDX_Check(dx, ids::kGp1OutputEnable, m_bGp1OutputEnable);
}

std::span<const CTestDlg::CommandEntry> CTestDlg::GetCommandTable() const {
  using framework::kBnClicked;
  using framework::kCbnSelChange;
  using D = CTestDlg;
  // The Send Break "Set" (1035), "Rand" (1050) and "Fix  0x" (1064) have no entry: a click on
  // them does nothing beyond what the control itself does.
  static const std::vector<CommandEntry> table = {
      Route<D>(ids::kClearCommand, kBnClicked, &D::OnClear),
      Route<D>(ids::kPortList, kCbnSelChange, &D::OnSelChangePort),
      Route<D>(ids::kIncrement, kBnClicked, &D::OnIncrement),
      Route<D>(ids::kClearAll, kBnClicked, &D::OnClearAll),
      Route<D>(ids::kOpen, kBnClicked, &D::OnOpen),
      Route<D>(ids::kClose, kBnClicked, &D::OnClose),
      Route<D>(ids::kSetPortStatus, kBnClicked, &D::OnSetPortStatus),
      Route<D>(ids::kGetPortStatus, kBnClicked, &D::OnGetPortStatus),
      Route<D>(ids::kDtr, kBnClicked, &D::OnDtr),
      Route<D>(ids::kRts, kBnClicked, &D::OnRts),
      Route<D>(ids::kHardwareFlow, kBnClicked, &D::OnHardwareFlow),
      Route<D>(ids::kSoftwareFlow, kBnClicked, &D::OnSoftwareFlow),
      Route<D>(ids::kNoFlow, kBnClicked, &D::OnNoFlow),
      Route<D>(ids::kLog, kBnClicked, &D::OnLog),
      Route<D>(ids::kWriteData, kBnClicked, &D::OnWriteData),
      Route<D>(ids::kReadData, kBnClicked, &D::OnReadData),
      Route<D>(ids::kOpenTxt, kBnClicked, &D::OnOpenTxt),
      Route<D>(ids::kSendTxt, kBnClicked, &D::OnSendTxt),
      Route<D>(ids::kLoopCheck, kBnClicked, &D::OnLoopCheck),
      Route<D>(ids::kOpenDrv, kBnClicked, &D::OnOpenDrv),
      Route<D>(ids::kCloseDrv, kBnClicked, &D::OnCloseDrv),
      Route<D>(ids::kDeviceDesc, kBnClicked, &D::OnDeviceDesc),
      Route<D>(ids::kConfigDesc, kBnClicked, &D::OnConfigDesc),
      Route<D>(ids::kStringDesc, kBnClicked, &D::OnStringDesc),
      Route<D>(ids::kSetCommand, kBnClicked, &D::OnSetCommand),
      Route<D>(ids::kGetCommand, kBnClicked, &D::OnGetCommand),
      Route<D>(ids::kSetLineState, kBnClicked, &D::OnSetLineState),
      Route<D>(ids::kSetFeature, kBnClicked, &D::OnSetFeature),
      Route<D>(ids::kGetFeature, kBnClicked, &D::OnGetFeature),
      Route<D>(ids::kClearFeature, kBnClicked, &D::OnClearFeature),
      Route<D>(ids::kReadInterrupt, kBnClicked, &D::OnReadInterrupt),
      Route<D>(ids::kWriteBulk, kBnClicked, &D::OnWriteBulk),
      Route<D>(ids::kReadBulk, kBnClicked, &D::OnReadBulk),
      Route<D>(ids::kEepromWrite, kBnClicked, &D::OnEepromWrite),
      Route<D>(ids::kEepromReadData, kBnClicked, &D::OnEepromReadData),
      Route<D>(ids::kEepromReadStatus, kBnClicked, &D::OnEepromReadStatus),
      Route<D>(ids::kGp0OutputEnable, kBnClicked, &D::OnGp0OutputEnable),
      Route<D>(ids::kGp0Get, kBnClicked, &D::OnGp0GetValue),
      Route<D>(ids::kGp0Set, kBnClicked, &D::OnGp0SetValue),
      Route<D>(ids::kGp1OutputEnable, kBnClicked, &D::OnGp1OutputEnable),
      Route<D>(ids::kGp1Get, kBnClicked, &D::OnGp1GetValue),
      Route<D>(ids::kGp1Set, kBnClicked, &D::OnGp1SetValue),
  };
  return table;
}

// GCC 12 at -O2 and above reports -Wrestrict inside std::string's own copy when a short literal
// is assigned to a string member (GCC bug 105329, fixed in GCC 13): the overlap it reports, of
// exabytes at negative offsets, is impossible. Only that warning, only here.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ == 12
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
bool CTestDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  m_hIcon = Host().LoadIcon(resources::kIconId);
  Host().SetIcon(m_hIcon, true);
  Host().SetIcon(m_hIcon, false);

  m_bWinNT = m_platform.system.GetVersion() < 0x80000000u ? 1 : 0;

  Host().SetCurSel(ids::kPortList, 2);   // COM3
  Host().SetCurSel(ids::kDataBits, 3);   // 8
  Host().SetCurSel(ids::kStopBits, 0);   // 1
  Host().SetCurSel(ids::kParity, 0);     // None
  Host().SetCurSel(ids::kBaudRate, 17);  // 115200

  Host().SetWindowText(ids::kDriverName, m_bWinNT == 1 ? "COM3" : "RARUDA-1");

  m_pMonitorThread.reset();

  m_strLen = "512";
  m_strLoopTimes = "1";
  m_strFixValue = "0";
  UpdateData(false);
  return true;
}
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ == 12
#pragma GCC diagnostic pop
#endif

void CTestDlg::OnSelChangePort() {
  std::string name = Host().GetWindowText(ids::kPortList).substr(0, 7);
  if (m_bWinNT == 1) {
    Host().SetWindowText(ids::kDriverName, name);
  }
}

void CTestDlg::OnIncrement() { m_bIncrement = m_bIncrement == 0 ? 1 : 0; }

void CTestDlg::OnPaint() {
  if (!Host().IsIconic()) {
    CDialog::OnPaint();
    return;
  }
  const framework::Size icon = Host().GetIconMetrics();
  const framework::Size client = Host().GetClientSize();
  const int x = (client.width - icon.width + 1) / 2;
  const int y = (client.height - icon.height + 1) / 2;
  Host().PaintIcon(m_hIcon, x, y);
}

framework::IconHandle CTestDlg::OnQueryDragIcon() { return m_hIcon; }

void CTestDlg::OnDestroy() {
  CDialog::OnDestroy();
  if (m_hComPort != kInvalidHandle) {
    m_platform.serial.ClosePort(m_hComPort);
    m_hComPort = kInvalidHandle;
  }
  StopMonitorThread();
}

void CTestDlg::StopMonitorThread() {
  if (!m_pMonitorThread) {
    return;
  }
  // The stop event is the only way to reach the monitor, and waiting below for a monitor that was
  // never told to stop would never end: a refused SetEvent on the live event is tried again.
  while (!m_platform.serial.SetEvent(m_hStopEvent)) {
  }
  // The monitor may be handing a line over right now: deliver its lines while waiting, and run
  // nothing else, so that neither thread waits for the other.
  framework::AfxGetApp()->Calls().WaitForThreadEnd(*m_pMonitorThread);
  m_pMonitorThread->Join();
  m_platform.serial.CloseEvent(m_hStopEvent);
  m_platform.serial.CloseEvent(m_hMonitorEvent);
  m_pMonitorThread.reset();
}
