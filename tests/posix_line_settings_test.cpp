// The Linux layer's pure rules: COM names to device files, DCB records to line settings and back,
// and comm event bits from two looks at a tty.
#include <gtest/gtest.h>

#include "platform_posix/com_device_map.h"
#include "platform_posix/dcb_translation.h"
#include "platform_posix/line_events.h"

namespace varnet::posix {
namespace {

TEST(ComDeviceMap, FixedMapOfComNames) {
  const ComDeviceMap map = ComDeviceMap::Default();
  struct Case {
    const char* path;
    const char* device;  // nullptr: no port
  } const cases[] = {
      {"\\\\.\\COM1", "/dev/ttyUSB0"},
      {"\\\\.\\COM3", "/dev/ttyUSB2"},
      {"\\\\.\\com8", "/dev/ttyUSB7"},
      {"\\\\.\\COM9", "/dev/ttyACM0"},
      {"\\\\.\\COM15", "/dev/ttyACM6"},
      {"\\\\.\\COM16", nullptr},
      {"\\\\.\\COM0", nullptr},
      {"\\\\.\\COM03", nullptr},
      {"\\\\.\\", nullptr},
      {"COM3", nullptr},
      {"\\\\.\\COM3x", nullptr},
      {"\\\\.\\LPT1", nullptr},
  };
  for (const Case& c : cases) {
    const std::optional<std::string> device = map.DeviceFor(c.path);
    if (c.device == nullptr) {
      EXPECT_FALSE(device) << c.path;
    } else {
      EXPECT_EQ(device.value_or("(none)"), c.device) << c.path;
    }
  }
}

Dcb Record(DWORD rate, std::uint8_t size, std::uint8_t parity, std::uint8_t stop) {
  Dcb dcb = InitialDcb(LineSettings{});
  dcb.BaudRate = rate;
  dcb.ByteSize = size;
  dcb.Parity = parity;
  dcb.StopBits = stop;
  return dcb;
}

TEST(DcbTranslation, CharacterFormats) {
  struct Case {
    std::uint8_t size, parity, stop;
    bool taken;
    LineParity lineParity;
    bool extraStop;
  } const cases[] = {
      {8, 0, 0, true, LineParity::None, false},
      {7, 1, 2, true, LineParity::Odd, true},
      {6, 2, 0, true, LineParity::Even, false},
      {8, 3, 0, true, LineParity::Mark, false},
      {8, 4, 2, true, LineParity::Space, true},
      {5, 0, 0, true, LineParity::None, false},
      {5, 0, 1, true, LineParity::None, false},
      {5, 0, 2, true, LineParity::None, true},
      {8, 0, 1, false, {}, false},
      {6, 0, 1, false, {}, false},
      {16, 0, 0, false, {}, false},
      {4, 0, 0, false, {}, false},
      {8, 5, 0, false, {}, false},
      {8, 0, 3, false, {}, false},
  };
  for (const Case& c : cases) {
    const auto write = SettingsForDcb(Record(9600, c.size, c.parity, c.stop));
    ASSERT_EQ(write.has_value(), c.taken) << int{c.size} << "/" << int{c.parity} << "/" << int{c.stop};
    if (write) {
      EXPECT_EQ(write->line.dataBits, c.size);
      EXPECT_EQ(write->line.parity, c.lineParity);
      EXPECT_EQ(write->line.extraStopBits, c.extraStop);
    }
  }
  EXPECT_FALSE(SettingsForDcb(Record(0, 8, 0, 0))) << "a rate of 0 would hang up the line";
}

// GetCommState shows the five-data-bit coding the record was written with.
TEST(DcbTranslation, FiveDataBitsReadBackAsWritten) {
  for (std::uint8_t stop : {0, 1, 2}) {
    const Dcb written = Record(9600, 5, 0, stop);
    const auto write = SettingsForDcb(written);
    ASSERT_TRUE(write);
    EXPECT_EQ(DcbForSettings(write->line, written).StopBits, stop);
  }
  // The tty went back to 8 data bits (a pty forces CS8): one stop bit is 0 there.
  const Dcb written = Record(9600, 5, 0, 1);
  LineSettings line = SettingsForDcb(written)->line;
  line.dataBits = 8;
  EXPECT_EQ(DcbForSettings(line, written).StopBits, 0);
}

TEST(DcbTranslation, FlowControlAndLineControl) {
  Dcb dcb = Record(115200, 8, 0, 0);
  dcb.flags = (dcb.flags & ~0x1310u) | 0x202Cu;  // the dialog's hardware flow control
  auto write = SettingsForDcb(dcb);
  ASSERT_TRUE(write);
  EXPECT_TRUE(write->line.rtsCtsFlow);
  EXPECT_EQ(write->dtr, LineAction::Raise) << "no DTR handshake in termios: the line stays raised";
  EXPECT_EQ(write->rts, LineAction::Handshake);
  Dcb back = DcbForSettings(write->line, dcb);
  EXPECT_EQ(back.flags & 0x333Cu, 0x202Cu) << "DSR flow is kept and shown as set";

  dcb.flags = (dcb.flags & ~0x303Cu) | 0x300u;  // software flow control
  write = SettingsForDcb(dcb);
  ASSERT_TRUE(write);
  EXPECT_FALSE(write->line.rtsCtsFlow);
  EXPECT_TRUE(write->line.xonXoffOut && write->line.xonXoffIn);
  EXPECT_EQ(write->dtr, LineAction::Lower);
  EXPECT_EQ(write->rts, LineAction::Lower);

  dcb.XoffChar = dcb.XonChar;
  EXPECT_FALSE(SettingsForDcb(dcb)) << "XON and XOFF the same character";
  dcb = Record(9600, 8, 0, 0);
  dcb.flags |= kRtsControlToggle << DcbFlag::kRtsControlShift;
  EXPECT_FALSE(SettingsForDcb(dcb)) << "RTS toggle has no termios equivalent";
}

TEST(LineEventBits, LevelsAndCounters) {
  struct Case {
    const char* what;
    LineSnapshot after;
    DWORD bits;
  } const cases[] = {
      {"nothing", {}, 0},
      {"CTS level", {ModemLine::kCts, {}}, CommEvent::kCts},
      {"DSR and DCD", {ModemLine::kDsr | ModemLine::kCd, {}}, CommEvent::kDsr | CommEvent::kRlsd},
      {"RI counted", {0, {.rng = 2}}, CommEvent::kRing},
      {"output lines", {ModemLine::kDtr | ModemLine::kRts, {}}, 0},
      {"break", {0, {.brk = 1}}, CommEvent::kBreak},
      {"parity", {0, {.parity = 1}}, CommEvent::kErr},
      {"buffer overrun", {0, {.bufOverrun = 1}}, CommEvent::kErr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LineEventBits(LineSnapshot{}, c.after), c.bits) << c.what;
  }
}

}  // namespace
}  // namespace varnet::posix
