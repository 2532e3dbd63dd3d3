// The Win32 DCB record and a tty's line settings, each way.
//
// termios has no DSR output flow, no DTR handshake and no RTS toggle. A record asking for DSR flow
// is taken and the flag is kept and reported back, but transmission does not wait for DSR (the
// dialog's hardware flow control asks for CTS and DSR flow together, and CTS flow works). DTR under
// handshake control is raised and left raised. RTS toggle is refused. CTS output flow and RTS
// handshake are both CRTSCTS, which always does both.
#pragma once

#include <optional>

#include "platform/win_types.h"
#include "platform_posix/line_settings.h"

namespace varnet::posix {

enum class LineAction { Raise, Lower, Handshake };

// What one SetCommState does to a tty.
struct SettingsWrite {
  LineSettings line;
  LineAction dtr = LineAction::Raise;
  LineAction rts = LineAction::Raise;
};

// Nothing when the record asks for what a tty cannot be given: a rate of 0 (which would hang up
// the line), data bits outside 5-8, parity above 4, StopBits above 2, one and a half stop bits
// with 6-8 data bits, RTS toggle, or the same XON and XOFF character with XON/XOFF flow on.
// With 5 data bits StopBits 0 and 1 both mean one stop bit and 2 means one and a half, which is
// what a UART sends for CSTOPB with 5 data bits.
std::optional<SettingsWrite> SettingsForDcb(const Dcb& dcb);

// The record as a port holds it: what the tty reports, and the fields it has no place for taken
// from `held`, the last record written (flags, limits, the event, error and end characters).
Dcb DcbForSettings(const LineSettings& line, const Dcb& held);

// The record of a freshly opened port: binary mode, DTR and RTS enabled (CRTSCTS left on by an
// earlier user shows as CTS flow and RTS handshake), the usual XON limits.
Dcb InitialDcb(const LineSettings& line);

}  // namespace varnet::posix
