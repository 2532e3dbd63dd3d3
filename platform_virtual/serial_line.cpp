// The adapter's serial side: the transmit FIFO and its flow control, the receive buffer, the modem
// lines through the plug, and the comm events they cause.
#include <algorithm>
#include <utility>

#include "framework/activity.h"
#include "platform_virtual/bench_session.h"
#include "protocol/request_layouts.h"

namespace varnet::bench {

Nanoseconds VirtualBench::CharacterTime() const {
  const Dcb& dcb = adapter_.dcb;
  // Counted in half bits, for 1.5 stop bits.
  const std::int64_t stopHalfBits = dcb.StopBits == 0 ? 2 : dcb.StopBits == 1 ? 3 : 4;
  const std::int64_t halfBits = 2 * (1 + dcb.ByteSize + (dcb.Parity != 0 ? 1 : 0)) + stopHalfBits;
  return halfBits * 1'000'000'000 / (2 * static_cast<std::int64_t>(dcb.BaudRate));
}

bool VirtualBench::TransmitterMayRun() const {
  const InputLevels inputs = Inputs();
  const DWORD flags = adapter_.dcb.flags;
  if ((flags & DcbFlag::kOutxCtsFlow) != 0 && !inputs.cts) {
    return false;
  }
  if ((flags & DcbFlag::kOutxDsrFlow) != 0 && !inputs.dsr) {
    return false;
  }
  return !adapter_.heldByXoff;
}

void VirtualBench::StartNextCharacter() {
  if (!plugged_ || adapter_.shifting || adapter_.breakOn) {
    return;
  }
  // Xon and Xoff go out ahead of the FIFO and whatever holds it: they exist to tell the far end
  // about our receive buffer.
  if (!adapter_.flowChars.empty()) {
    adapter_.shifting = Shifting{adapter_.flowChars.front(), false, now_ + CharacterTime()};
    adapter_.flowChars.pop_front();
    return;
  }
  if (!adapter_.fifo.empty() && TransmitterMayRun()) {
    adapter_.shifting = Shifting{adapter_.fifo.front(), true, now_ + CharacterTime()};
  }
}

void VirtualBench::RefillFifo() {
  while (adapter_.fifo.size() < kTransmitFifoSize && !writes_.empty()) {
    WriteOperation& write = *writes_.front();
    if (!write.done && write.entered < write.data.size()) {
      adapter_.fifo.push_back(write.data[write.entered]);
      ++write.entered;
    }
    if (write.done || write.entered == write.data.size()) {
      write.done = true;
      writes_.pop_front();
    }
  }
}

void VirtualBench::CharacterLeft() {
  const Shifting shifted = *adapter_.shifting;
  adapter_.shifting.reset();
  if (shifted.fromFifo) {
    adapter_.fifo.pop_front();
  }
  transmitted_.push_back(shifted.byte);
  RefillFifo();
  if (plug_ == PlugKind::Loopback) {
    Arrive(shifted.byte, true);
  }
  if (shifted.fromFifo && adapter_.fifo.empty()) {
    Raise(CommEvent::kTxEmpty);
  }
  StartNextCharacter();
}

void VirtualBench::Arrive(std::uint8_t byte, bool throughLoop) {
  if (!plugged_) {
    return;
  }
  if (throughLoop && dropCount_ > 0) {
    --dropCount_;
    return;
  }
  const Dcb& dcb = adapter_.dcb;
  if ((dcb.flags & DcbFlag::kOutX) != 0) {
    if (byte == static_cast<std::uint8_t>(dcb.XoffChar)) {
      adapter_.heldByXoff = true;
      return;
    }
    if (byte == static_cast<std::uint8_t>(dcb.XonChar)) {
      adapter_.heldByXoff = false;
      StartNextCharacter();
      return;
    }
  }
  if (adapter_.received.size() >= kReceiveBufferSize) {
    if (!adapter_.overrunReported) {
      adapter_.overrunReported = true;
      adapter_.interruptEvents |= driver::kInterruptOverrun;
      Raise(CommEvent::kErr);
    }
    return;
  }
  std::uint8_t stored = byte;
  if (const auto mark = corruptAt_.find(storedCount_); mark != corruptAt_.end()) {
    corruptAt_.erase(mark);
    stored ^= 0xFF;
  }
  ++storedCount_;
  adapter_.received.push_back(stored);
  DWORD events = CommEvent::kRxChar;
  if (stored == static_cast<std::uint8_t>(dcb.EvtChar)) {
    events |= CommEvent::kRxFlag;
  }
  Raise(events);
  const auto xoffMark = static_cast<std::int64_t>(kReceiveBufferSize) - dcb.XoffLim;
  if (!adapter_.receiveHeld && static_cast<std::int64_t>(adapter_.received.size()) > xoffMark) {
    adapter_.receiveHeld = true;
    if ((dcb.flags & DcbFlag::kInX) != 0) {
      adapter_.flowChars.push_back(static_cast<std::uint8_t>(dcb.XoffChar));
      adapter_.xoffSent = true;
    }
    SetHandshakeLines(false);
    StartNextCharacter();
  }
}

void VirtualBench::ReceiveBufferShrank() {
  adapter_.overrunReported = false;
  if (adapter_.receiveHeld && adapter_.received.size() < adapter_.dcb.XonLim) {
    adapter_.receiveHeld = false;
    if (adapter_.xoffSent) {
      adapter_.flowChars.push_back(static_cast<std::uint8_t>(adapter_.dcb.XonChar));
      adapter_.xoffSent = false;
    }
    SetHandshakeLines(true);
    StartNextCharacter();
  }
}

std::size_t VirtualBench::TakeReceived(std::span<std::uint8_t> buffer) {
  const std::size_t count = std::min(buffer.size(), adapter_.received.size());
  std::copy_n(adapter_.received.begin(), count, buffer.begin());
  adapter_.received.erase(adapter_.received.begin(),
                          adapter_.received.begin() + static_cast<std::ptrdiff_t>(count));
  if (count > 0) {
    ReceiveBufferShrank();
  }
  return count;
}

void VirtualBench::BreakArrived() {
  if (!plugged_) {
    return;
  }
  adapter_.interruptEvents |= driver::kInterruptBreak;
  Raise(CommEvent::kBreak);
}

DWORD VirtualBench::RunWrite(std::unique_lock<std::mutex>& lock, std::span<const std::uint8_t> data,
                             std::optional<Nanoseconds> timeout) {
  if (data.empty() || !plugged_) {
    return 0;
  }
  const auto write = std::make_shared<WriteOperation>();
  write->data.assign(data.begin(), data.end());
  if (timeout) {
    write->deadline = now_ + *timeout;
  }
  writes_.push_back(write);
  RefillFifo();
  StartNextCharacter();
  FlushEvents();
  framework::Activity::Touch();
  wake_.notify_all();
  LetTimePass(lock, std::nullopt, [&write] { return write->done; });
  return static_cast<DWORD>(write->entered);
}

VirtualBench::InputLevels VirtualBench::Inputs() const {
  if (plug_ == PlugKind::Loopback) {
    return {adapter_.rts, adapter_.dtr, adapter_.dtr, driven_.ri};
  }
  return driven_;
}

void VirtualBench::InputsChangedFrom(const InputLevels& before) {
  const InputLevels after = Inputs();
  DWORD events = 0;
  if (after.cts != before.cts) {
    events |= CommEvent::kCts;
  }
  if (after.dsr != before.dsr) {
    events |= CommEvent::kDsr;
  }
  if (after.dcd != before.dcd) {
    events |= CommEvent::kRlsd;
  }
  if (after.ri != before.ri) {
    events |= CommEvent::kRing;
  }
  Raise(events);
  if ((events & (CommEvent::kCts | CommEvent::kDsr)) != 0) {
    StartNextCharacter();
  }
}

void VirtualBench::SetHandshakeLines(bool high) {
  if (!portOwner_) {
    return;
  }
  const InputLevels before = Inputs();
  if (DtrControl(adapter_.dcb) == kControlHandshake) {
    adapter_.dtr = high;
  }
  if (RtsControl(adapter_.dcb) == kControlHandshake) {
    adapter_.rts = high;
  }
  InputsChangedFrom(before);
}

void VirtualBench::Raise(DWORD events) { pendingEvents_ |= events; }

void VirtualBench::FlushEvents() {
  const DWORD events = std::exchange(pendingEvents_, 0);
  if (events == 0 || !portOwner_) {
    return;
  }
  PortHandle& port = ports_.at(*portOwner_);
  const DWORD masked = events & port.mask;
  if (masked == 0) {
    return;
  }
  if (port.wait) {
    EndWait(port, masked);
  } else {
    port.kept |= masked;
    framework::Activity::Touch();
  }
}

void VirtualBench::EndWait(PortHandle& port, DWORD bits) {
  if (!port.wait) {
    return;
  }
  *port.wait->mask = bits;
  const Handle event = port.wait->event;
  port.wait.reset();
  Signal(event);
}

void VirtualBench::Signal(Handle event) {
  const auto it = events_.find(event);
  if (it == events_.end()) {
    return;
  }
  it->second.signalled = true;
  SatisfyBlockedWaits();
  framework::Activity::Touch();
  wake_.notify_all();
}

void VirtualBench::SatisfyBlockedWaits() {
  for (BlockedWait* wait : blockedWaits_) {
    if (wait->result) {
      continue;
    }
    const auto stop = events_.find(wait->stopEvent);
    const auto portSide = events_.find(wait->portEvent);
    if (stop == events_.end() || portSide == events_.end()) {
      continue;  // the waiting thread finds its wait failed when it looks
    }
    // The stop event is tested first, so that it wins when both are signalled.
    if (stop->second.TryTake()) {
      wait->result = kWaitObject0;
    } else if (portSide->second.TryTake()) {
      wait->result = kWaitObject0 + 1;
    } else {
      continue;
    }
    // Busy again from the moment the signal is taken, under the same lock as the idle observer.
    framework::Activity::BeginBusy();
  }
}

}  // namespace varnet::bench
