// Open TXT and Send TXT: the user's data file of hexadecimal byte lines.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/test_dlg.h"
#include "protocol/data_file_parser.h"
#include "runtime/format.h"
#include "serial/transfer_waits.h"

using namespace varnet;

namespace {
constexpr DWORD kLinePauseMs = 10;
}  // namespace

void CTestDlg::OnOpenTxt() {
  // The editor is given an existing file, made empty when there was none.
  if (!m_platform.files.Open("c:\\DATA.TXT", "rt")) {
    m_platform.files.Open("c:\\DATA.TXT", "wt");
  }
  m_platform.shell.OpenDocument("c:\\DATA.TXT");
}

void CTestDlg::OnSendTxt() {
  if (m_hComPort == kInvalidHandle) {
    AddResponse("Choose a COM port to write data.");
    return;
  }
  const std::unique_ptr<File> file = m_platform.files.Open("c:\\data.txt", "rt");
  if (!file) {
    AddResponse("ERROR: DATA.TXT not exist.");
    return;
  }
  for (;;) {
    const std::optional<std::string> line = file->Gets(kDataLineChars + 1);
    if (!line) {
      return;
    }
    const std::optional<std::vector<std::uint8_t>> bytes = ParseDataLine(*line);
    if (!bytes) {
      AddResponse("Data Format ERROR!");
      return;
    }
    const DWORD written = m_platform.serial.WriteBlock(m_hComPort, *bytes, kWriteWaitMs);
    AddResponse(runtime::Format("WRITE %ld bytes Successfully!", static_cast<long>(written)));

    // A short gap between lines, without pumping messages: nothing else may run mid-file.
    // Counted as elapsed time, so that the tick count wrapping cannot cut it short.
    const DWORD start = m_platform.clock.GetTickCount();
    while (m_platform.clock.GetTickCount() - start < kLinePauseMs) {
    }
  }
}
