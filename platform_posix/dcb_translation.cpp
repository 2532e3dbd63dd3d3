#include "platform_posix/dcb_translation.h"

namespace varnet::posix {
namespace {

void SetFlag(Dcb& dcb, DWORD flag, bool on) {
  if (on) {
    dcb.flags |= flag;
  } else {
    dcb.flags &= ~flag;
  }
}

void SetRtsControl(Dcb& dcb, DWORD control) {
  dcb.flags = (dcb.flags & ~DcbFlag::kRtsControlMask) | (control << DcbFlag::kRtsControlShift);
}

}  // namespace

std::optional<SettingsWrite> SettingsForDcb(const Dcb& dcb) {
  if (dcb.BaudRate == 0 || dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > 4 || dcb.StopBits > 2) {
    return std::nullopt;
  }
  if (dcb.StopBits == 1 && dcb.ByteSize != 5) {
    return std::nullopt;
  }
  const DWORD dtrControl = DtrControl(dcb);
  const DWORD rtsControl = RtsControl(dcb);
  if (rtsControl == kRtsControlToggle) {
    return std::nullopt;
  }
  const bool outX = (dcb.flags & DcbFlag::kOutX) != 0;
  const bool inX = (dcb.flags & DcbFlag::kInX) != 0;
  if ((outX || inX) && dcb.XonChar == dcb.XoffChar) {
    return std::nullopt;
  }

  SettingsWrite write;
  write.line.rate = dcb.BaudRate;
  write.line.dataBits = dcb.ByteSize;
  write.line.parity = static_cast<LineParity>(dcb.Parity);
  write.line.extraStopBits = dcb.StopBits == 2;
  write.line.rtsCtsFlow = (dcb.flags & DcbFlag::kOutxCtsFlow) != 0 || rtsControl == kControlHandshake;
  write.line.xonXoffOut = outX;
  write.line.xonXoffIn = inX;
  write.line.xonChar = dcb.XonChar;
  write.line.xoffChar = dcb.XoffChar;
  write.dtr = dtrControl == kControlDisable ? LineAction::Lower : LineAction::Raise;
  write.rts = rtsControl == kControlDisable     ? LineAction::Lower
              : rtsControl == kControlHandshake ? LineAction::Handshake
                                                : LineAction::Raise;
  return write;
}

Dcb DcbForSettings(const LineSettings& line, const Dcb& held) {
  Dcb dcb = held;
  dcb.DCBlength = sizeof(Dcb);
  dcb.BaudRate = line.rate;
  dcb.ByteSize = line.dataBits;
  dcb.Parity = static_cast<std::uint8_t>(line.parity);
  if (line.extraStopBits) {
    dcb.StopBits = 2;
  } else {
    // One stop bit: with 5 data bits the record may have said so either way.
    dcb.StopBits = line.dataBits == 5 && held.ByteSize == 5 && held.StopBits == 1 ? 1 : 0;
  }
  SetFlag(dcb, DcbFlag::kOutxCtsFlow, line.rtsCtsFlow);
  if (!line.rtsCtsFlow && RtsControl(dcb) == kControlHandshake) {
    SetRtsControl(dcb, kControlEnable);
  }
  SetFlag(dcb, DcbFlag::kOutX, line.xonXoffOut);
  SetFlag(dcb, DcbFlag::kInX, line.xonXoffIn);
  dcb.XonChar = line.xonChar;
  dcb.XoffChar = line.xoffChar;
  return dcb;
}

Dcb InitialDcb(const LineSettings& line) {
  Dcb held;
  held.flags = DcbFlag::kBinary | (kControlEnable << DcbFlag::kDtrControlShift);
  SetRtsControl(held, line.rtsCtsFlow ? kControlHandshake : kControlEnable);
  held.XonLim = 2048;
  held.XoffLim = 512;
  return DcbForSettings(line, held);
}

}  // namespace varnet::posix
