// Loop Check: write a block, let it come back through the loop-back plug, compare.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/block_length.h"
#include "app/test_dlg.h"
#include "protocol/test_pattern.h"
#include "runtime/format.h"
#include "runtime/numbers.h"
#include "serial/echo_compare.h"
#include "serial/transfer_waits.h"

using namespace varnet;

namespace {
// How long the echo is given to come back, while the window keeps handling its messages.
constexpr DWORD kEchoPauseMs = 100;
}  // namespace

void CTestDlg::OnLoopCheck() {
  UpdateData(true);
  if (m_hComPort == kInvalidHandle) {
    AddResponse("Choose a COM port to write data.");
    return;
  }
  const std::optional<std::size_t> blockLength = BlockLength(m_strLen);
  if (!blockLength) {
    AddResponse(kLengthOutOfRange);
    return;
  }
  const std::size_t length = *blockLength;
  const std::int64_t loopCount = runtime::Atoi(m_strLoopTimes);
  const auto fixedByte = static_cast<std::uint8_t>(runtime::StrtolHex(m_strFixValue) & 0xFF);

  // A negative count never reaches 0: the test then runs until an iteration fails.
  std::int64_t remaining = loopCount;
  while (remaining != 0) {
    --remaining;
    const int iteration = static_cast<int>(loopCount - remaining);
    std::optional<std::vector<std::uint8_t>> block = AllocateBlock(length);
    std::optional<std::vector<std::uint8_t>> expected = AllocateBlock(length);
    if (!block || !expected) {
      AddResponse(kLengthOutOfRange);
      return;
    }
    // Rand and Fix are read for every block: a handler run during a pause may have changed them.
    FillTestPattern(*block, PatternChoice{m_bRand != 0, m_bFix != 0, fixedByte});
    *expected = *block;

    // The port is read from the member at every use: Close may have run during the last pause,
    // and a closed port must not be touched again.
    const DWORD written =
        m_hComPort != kInvalidHandle ? m_platform.serial.WriteBlock(m_hComPort, *block, kWriteWaitMs) : 0;
    if (remaining == 0) {
      AddResponse(runtime::Format("WRITE %ld bytes Successfully!", static_cast<long>(written)));
    } else {
      AddResponse(runtime::Format("Test times: %d", iteration));
    }
    std::fill(block->begin(), block->end(), std::uint8_t{0});

    // Other handlers, Close among them, may run inside this pause.
    const DWORD pauseStart = m_platform.clock.GetTickCount();
    bool running = PumpMessages();
    while (running && m_platform.clock.GetTickCount() - pauseStart <= kEchoPauseMs) {
      running = PumpMessages();
    }

    if (remaining == 0) {
      AddResponse("Comparing data...");
    }
    DWORD received = 0;
    if (m_hComPort != kInvalidHandle) {
      received = m_platform.serial.ReadBlock(m_hComPort, *block, kReadWaitMs);
    }

    const EchoReport report = CompareEcho(*expected, *block, received);
    for (const std::string& line : report.responses) {
      AddResponse(line);
    }
    if (report.failed) {
      for (const std::string& line : report.results) {
        AddResult(line);
      }
      if (remaining != 0) {
        AddResponse(runtime::Format("Loop Check Failed - times: %ld", static_cast<long>(iteration)));
      }
      break;
    }
    // An endless test also ends once its port is gone or the program is quitting: with an empty
    // block no iteration could ever fail, and the test would hold the window for good.
    if (loopCount < 0 && (m_hComPort == kInvalidHandle || !running)) {
      break;
    }
  }
  AddResponse("Compare data Finished!");
}
