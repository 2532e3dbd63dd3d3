// The bits of the DCB flag word that each kind of flow control clears and sets.
#pragma once

#include "platform/win_types.h"

namespace varnet {

struct FlowMasks {
  DWORD clear;
  DWORD set;
};

// CTS and DSR output flow on, DTR and RTS under handshake, XON/XOFF off.
inline constexpr FlowMasks kHardwareFlow{0x1310, 0x202C};
// XON/XOFF on in both directions, CTS/DSR flow off, DTR and RTS control disabled.
inline constexpr FlowMasks kSoftwareFlow{0x303C, 0x0300};
// All six flow fields cleared.
inline constexpr FlowMasks kNoFlow{0x333C, 0x0000};

constexpr DWORD ApplyFlowMasks(DWORD flags, const FlowMasks& masks) {
  return (flags & ~masks.clear) | masks.set;
}

}  // namespace varnet
