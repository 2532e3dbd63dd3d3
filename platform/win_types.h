// The Win32 records and constants that the program works with, as our own types with the Win32
// layout, so that the core never includes a platform header. Names avoid the Win32 macros
// (DCB, EV_CTS, INVALID_HANDLE_VALUE ...) so that a Win32 layer can include both.
#pragma once

#include <cstdint>

namespace varnet {

using DWORD = std::uint32_t;

// An open handle of a platform layer. Only the layer that made it knows what it stands for.
using Handle = std::intptr_t;
inline constexpr Handle kInvalidHandle = -1;

// The DCB record, field for field as Win32 lays it out (28 bytes).
struct Dcb {
  DWORD DCBlength = sizeof(Dcb);
  DWORD BaudRate = 0;
  DWORD flags = 0;  // the Win32 bit-field word, see DcbFlag
  std::uint16_t wReserved = 0;
  std::uint16_t XonLim = 0;
  std::uint16_t XoffLim = 0;
  std::uint8_t ByteSize = 0;
  std::uint8_t Parity = 0;
  std::uint8_t StopBits = 0;
  char XonChar = 0;
  char XoffChar = 0;
  char ErrorChar = 0;
  char EofChar = 0;
  char EvtChar = 0;
  std::uint16_t wReserved1 = 0;
};
static_assert(sizeof(Dcb) == 28, "Dcb must keep the Win32 layout");

// Bits of Dcb::flags, where Win32 puts its bit fields.
namespace DcbFlag {
inline constexpr DWORD kBinary = 1u << 0;
inline constexpr DWORD kParity = 1u << 1;
inline constexpr DWORD kOutxCtsFlow = 1u << 2;
inline constexpr DWORD kOutxDsrFlow = 1u << 3;
inline constexpr int kDtrControlShift = 4;  // 2 bits
inline constexpr DWORD kDtrControlMask = 3u << kDtrControlShift;
inline constexpr DWORD kDsrSensitivity = 1u << 6;
inline constexpr DWORD kTXContinueOnXoff = 1u << 7;
inline constexpr DWORD kOutX = 1u << 8;
inline constexpr DWORD kInX = 1u << 9;
inline constexpr DWORD kErrorChar = 1u << 10;
inline constexpr DWORD kNull = 1u << 11;
inline constexpr int kRtsControlShift = 12;  // 2 bits
inline constexpr DWORD kRtsControlMask = 3u << kRtsControlShift;
inline constexpr DWORD kAbortOnError = 1u << 14;
}  // namespace DcbFlag

// fDtrControl / fRtsControl values.
inline constexpr DWORD kControlDisable = 0;
inline constexpr DWORD kControlEnable = 1;
inline constexpr DWORD kControlHandshake = 2;
inline constexpr DWORD kRtsControlToggle = 3;

inline DWORD DtrControl(const Dcb& dcb) {
  return (dcb.flags & DcbFlag::kDtrControlMask) >> DcbFlag::kDtrControlShift;
}
inline DWORD RtsControl(const Dcb& dcb) {
  return (dcb.flags & DcbFlag::kRtsControlMask) >> DcbFlag::kRtsControlShift;
}

// The COMMTIMEOUTS record, in milliseconds.
struct CommTimeouts {
  DWORD ReadIntervalTimeout = 0;
  DWORD ReadTotalTimeoutMultiplier = 0;
  DWORD ReadTotalTimeoutConstant = 0;
  DWORD WriteTotalTimeoutMultiplier = 0;
  DWORD WriteTotalTimeoutConstant = 0;
};

inline constexpr DWORD kMaxDword = 0xFFFFFFFFu;

// The OVERLAPPED record of a comm-event wait; only its event is ever set by the program.
struct Overlapped {
  std::uintptr_t Internal = 0;
  std::uintptr_t InternalHigh = 0;
  DWORD Offset = 0;
  DWORD OffsetHigh = 0;
  Handle hEvent = 0;
};

// Comm event bits (EV_...).
namespace CommEvent {
inline constexpr DWORD kRxChar = 0x0001;
inline constexpr DWORD kRxFlag = 0x0002;
inline constexpr DWORD kTxEmpty = 0x0004;
inline constexpr DWORD kCts = 0x0008;
inline constexpr DWORD kDsr = 0x0010;
inline constexpr DWORD kRlsd = 0x0020;
inline constexpr DWORD kBreak = 0x0040;
inline constexpr DWORD kErr = 0x0080;
inline constexpr DWORD kRing = 0x0100;
}  // namespace CommEvent

// EscapeCommFunction codes, with the Win32 values.
enum class EscapeFunction : DWORD {
  SetXoff = 1,
  SetXon = 2,
  SetRts = 3,
  ClrRts = 4,
  SetDtr = 5,
  ClrDtr = 6,
  SetBreak = 8,
  ClrBreak = 9,
};

// Results of a wait on two objects (WAIT_OBJECT_0 + index, or a failure).
inline constexpr DWORD kWaitObject0 = 0;
inline constexpr DWORD kWaitFailed = 0xFFFFFFFFu;

}  // namespace varnet
