// COM3 as the program sees it through the comm API: open and close, settings, modem-control
// escapes, comm-event waits, the events they signal, and block transfers.
#include <algorithm>
#include <cctype>
#include <utility>

#include "framework/activity.h"
#include "platform_virtual/bench_session.h"

namespace varnet::bench {
namespace {

// Device names are matched without regard to case, as the object manager does.
bool SamePath(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool SettingsAccepted(const Dcb& dcb) {
  if (dcb.BaudRate < 75 || dcb.BaudRate > 6'000'000) {
    return false;
  }
  if (dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > 4 || dcb.StopBits > 2) {
    return false;
  }
  // 1.5 stop bits exist only with 5 data bits; with 5 data bits the adapter's driver takes every
  // stop-bit coding.
  if (dcb.ByteSize != 5 && dcb.StopBits == 1) {
    return false;
  }
  return DtrControl(dcb) != 3;  // DTR has no toggle mode
}

Nanoseconds Milliseconds(std::uint64_t ms) {
  return static_cast<Nanoseconds>(ms) * kNanosecondsPerMillisecond;
}

}  // namespace

Handle VirtualBench::OpenPort(const std::string& path) {
  Session session(*this, true);
  if (!plugged_ || !SamePath(path, kComPortPath) || portOwner_) {
    return kInvalidHandle;
  }
  const Handle handle = NewHandle();
  ports_[handle].generation = generation_;
  portOwner_ = handle;
  // Every open starts from the power-on settings, with both buffers empty.
  const InputLevels before = Inputs();
  adapter_.dcb = PowerOnDcb();
  adapter_.fifo.clear();
  if (adapter_.shifting && adapter_.shifting->fromFifo) {
    adapter_.shifting.reset();
  }
  adapter_.received.clear();
  adapter_.overrunReported = false;
  adapter_.receiveHeld = false;
  adapter_.xoffSent = false;
  adapter_.heldByXoff = false;
  adapter_.breakOn = false;
  adapter_.dtr = true;
  adapter_.rts = true;
  InputsChangedFrom(before);  // the new handle's mask is still 0: nobody sees these
  StartNextCharacter();
  return handle;
}

void VirtualBench::ClosePortLocked() {
  FlushEvents();
  portOwner_.reset();
  adapter_.fifo.clear();
  if (adapter_.shifting && adapter_.shifting->fromFifo) {
    adapter_.shifting.reset();
  }
  // Closing drops DTR and RTS, as a Win32 serial driver does; with no handle open the events go
  // nowhere.
  const InputLevels before = Inputs();
  adapter_.dtr = false;
  adapter_.rts = false;
  InputsChangedFrom(before);
  pendingEvents_ = 0;
  StartNextCharacter();
}

bool VirtualBench::ClosePort(Handle port) {
  Session session(*this, true);
  const auto it = ports_.find(port);
  if (it == ports_.end()) {
    return false;
  }
  EndWait(it->second, 0);
  if (portOwner_ == port) {
    ClosePortLocked();
  }
  ports_.erase(it);
  return true;
}

bool VirtualBench::GetCommState(Handle port, Dcb& dcb) {
  Session session(*this, false);
  if (LivePort(port) == nullptr) {
    return false;
  }
  dcb = adapter_.dcb;
  return true;
}

bool VirtualBench::SetCommState(Handle port, const Dcb& dcb) {
  Session session(*this, true);
  if (LivePort(port) == nullptr || !SettingsAccepted(dcb)) {
    return false;
  }
  const InputLevels before = Inputs();
  adapter_.dcb = dcb;
  // The whole record applies at every write: DISABLE lowers the line and ENABLE raises it even
  // when an escape moved it since.
  switch (DtrControl(dcb)) {
    case kControlDisable:
      adapter_.dtr = false;
      break;
    case kControlEnable:
      adapter_.dtr = true;
      break;
    default:
      adapter_.dtr = !adapter_.receiveHeld;
      break;
  }
  switch (RtsControl(dcb)) {
    case kControlEnable:
      adapter_.rts = true;
      break;
    case kControlHandshake:
      adapter_.rts = !adapter_.receiveHeld;
      break;
    default:
      adapter_.rts = false;
      break;
  }
  if ((dcb.flags & DcbFlag::kOutX) == 0) {
    adapter_.heldByXoff = false;
  }
  InputsChangedFrom(before);
  StartNextCharacter();
  return true;
}

bool VirtualBench::GetCommTimeouts(Handle port, CommTimeouts& timeouts) {
  Session session(*this, false);
  if (LivePort(port) == nullptr) {
    return false;
  }
  timeouts = adapter_.timeouts;
  return true;
}

bool VirtualBench::SetCommTimeouts(Handle port, const CommTimeouts& timeouts) {
  Session session(*this, true);
  if (LivePort(port) == nullptr) {
    return false;
  }
  adapter_.timeouts = timeouts;
  return true;
}

bool VirtualBench::SetCommMask(Handle port, DWORD mask) {
  Session session(*this, true);
  PortHandle* const open = LivePort(port);
  if (open == nullptr) {
    return false;
  }
  FlushEvents();  // what happened before the new mask is judged by the old one
  // Win32 ends a pending wait with a zero mask when the mask changes under it.
  EndWait(*open, 0);
  open->mask = mask;
  open->kept &= mask;
  return true;
}

bool VirtualBench::EscapeCommFunction(Handle port, EscapeFunction function) {
  Session session(*this, true);
  if (LivePort(port) == nullptr) {
    return false;
  }
  const InputLevels before = Inputs();
  switch (function) {
    case EscapeFunction::SetDtr:
    case EscapeFunction::ClrDtr:
      if (DtrControl(adapter_.dcb) == kControlHandshake) {
        return false;
      }
      adapter_.dtr = function == EscapeFunction::SetDtr;
      break;
    case EscapeFunction::SetRts:
    case EscapeFunction::ClrRts:
      if (RtsControl(adapter_.dcb) == kControlHandshake || RtsControl(adapter_.dcb) == kRtsControlToggle) {
        return false;
      }
      adapter_.rts = function == EscapeFunction::SetRts;
      break;
    case EscapeFunction::SetXoff:
      adapter_.heldByXoff = true;
      break;
    case EscapeFunction::SetXon:
      adapter_.heldByXoff = false;
      break;
    case EscapeFunction::SetBreak:
      adapter_.breakOn = true;
      if (plug_ == PlugKind::Loopback) {
        BreakArrived();
      }
      break;
    case EscapeFunction::ClrBreak:
      adapter_.breakOn = false;
      break;
    default:
      return false;
  }
  InputsChangedFrom(before);
  StartNextCharacter();
  return true;
}

Handle VirtualBench::CreateEvent(bool manualReset, bool initialState) {
  Session session(*this, true);
  const Handle handle = NewHandle();
  events_[handle] = EventObject{manualReset, initialState};
  return handle;
}

bool VirtualBench::SetEvent(Handle event) {
  Session session(*this, true);
  if (!events_.contains(event)) {
    return false;
  }
  Signal(event);
  return true;
}

bool VirtualBench::CloseEvent(Handle event) {
  Session session(*this, true);
  return events_.erase(event) > 0;
}

bool VirtualBench::WaitCommEvent(Handle port, DWORD* mask, Overlapped* overlapped) {
  Session session(*this, true);
  PortHandle* const open = LivePort(port);
  if (open == nullptr || open->wait || mask == nullptr || overlapped == nullptr) {
    return false;
  }
  const Handle event = overlapped->hEvent;
  // Starting overlapped I/O resets the record's event.
  if (const auto it = events_.find(event); it != events_.end()) {
    it->second.signalled = false;
  }
  FlushEvents();
  open->wait = PendingWait{mask, event};
  if (open->kept != 0) {
    EndWait(*open, std::exchange(open->kept, 0));
  }
  return true;
}

DWORD VirtualBench::WaitForStopOrPortEvent(Handle stopEvent, Handle portEvent) {
  std::unique_lock<std::mutex> lock(mutex_);
  // Not busy from here on, busy again the moment a signal is taken (SatisfyBlockedWaits): both
  // under the lock under which signals are set and the idle observer looks, so that it never
  // sees a signal gone with the thread not yet counted.
  framework::Activity::EndBusy();
  BlockedWait wait{stopEvent, portEvent, std::nullopt};
  blockedWaits_.push_back(&wait);
  for (;;) {
    AdvanceTo(time_.Now());
    FlushEvents();
    SatisfyBlockedWaits();
    if (wait.result) {
      break;
    }
    if (!events_.contains(stopEvent) || !events_.contains(portEvent)) {
      wait.result = kWaitFailed;
      framework::Activity::BeginBusy();
      break;
    }
    time_.Wait(lock, wake_);
  }
  blockedWaits_.remove(&wait);
  return *wait.result;
}

DWORD VirtualBench::WriteBlock(Handle port, std::span<const std::uint8_t> data, DWORD /*waitMs*/) {
  // The program takes the overlapped result with wait = TRUE after its own bounded wait, so
  // the write's end is decided by the port's time-outs alone.
  Session session(*this, true);
  if (LivePort(port) == nullptr) {
    return 0;
  }
  const CommTimeouts& timeouts = adapter_.timeouts;
  const std::uint64_t totalMs =
      timeouts.WriteTotalTimeoutConstant +
      static_cast<std::uint64_t>(timeouts.WriteTotalTimeoutMultiplier) * data.size();
  std::optional<Nanoseconds> timeout;
  if (totalMs > 0) {
    timeout = Milliseconds(totalMs);
  }
  return RunWrite(session.Lock(), data, timeout);
}

DWORD VirtualBench::ReadBlock(Handle port, std::span<std::uint8_t> buffer, DWORD /*waitMs*/) {
  Session session(*this, true);
  if (LivePort(port) == nullptr || buffer.empty()) {
    return 0;
  }
  const CommTimeouts timeouts = adapter_.timeouts;
  const bool atOnce = timeouts.ReadIntervalTimeout == kMaxDword && timeouts.ReadTotalTimeoutMultiplier == 0 &&
                      timeouts.ReadTotalTimeoutConstant == 0;
  if (!atOnce) {
    // Total time-outs only; the program itself never reads with anything but the at-once
    // setting. MAXDWORD interval and multiplier with a constant: any byte ends the read.
    const bool anyByte =
        timeouts.ReadIntervalTimeout == kMaxDword && timeouts.ReadTotalTimeoutMultiplier == kMaxDword;
    const std::uint64_t totalMs =
        anyByte ? timeouts.ReadTotalTimeoutConstant
                : timeouts.ReadTotalTimeoutConstant +
                      static_cast<std::uint64_t>(timeouts.ReadTotalTimeoutMultiplier) * buffer.size();
    std::optional<Nanoseconds> deadline;
    if (totalMs > 0) {
      deadline = now_ + Milliseconds(totalMs);
    }
    const std::size_t wanted = buffer.size();
    LetTimePass(session.Lock(), deadline, [&] {
      return LivePort(port) == nullptr || adapter_.received.size() >= wanted ||
             (anyByte && !adapter_.received.empty());
    });
    if (LivePort(port) == nullptr) {
      return 0;
    }
  }
  return static_cast<DWORD>(TakeReceived(buffer));
}

}  // namespace varnet::bench
