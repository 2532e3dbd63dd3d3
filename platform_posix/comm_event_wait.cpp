// The comm-event wait. WaitCommEvent arms it; the monitor's WaitForStopOrPortEvent does the
// waiting, in the driver's line change wait (TIOCMIWAIT) when the port has an armed wait and the
// driver counts line events. The driver cannot wait for breaks and line errors, and a wake sent just
// before the thread enters the driver is lost, so a ticker wakes the thread every kCounterPollMs to
// look at the counters and at its events. Without an armed wait, or on a driver without those calls
// (a pty), the wait blocks on its events alone and costs nothing.
#include <cerrno>

#include "framework/activity.h"
#include "platform_posix/posix_serial.h"
#include "platform_posix/wake_signal.h"

namespace varnet::posix {

int PosixSerial::Snapshot(const Port& port, LineSnapshot& snapshot) {
  if (const int error = control_.GetCounters(port.fd, snapshot.counters)) {
    return error;
  }
  int lines = 0;
  snapshot.lines = control_.GetModemLines(port.fd, lines) == 0 ? lines : 0;
  return 0;
}

void PosixSerial::CompleteWaitLocked(Port& port, DWORD bits) {
  if (!port.pending) {
    return;
  }
  *port.pendingMask = bits;
  port.pending = false;
  port.pendingMask = nullptr;
  SetEventLocked(port.pendingEvent);
}

bool PosixSerial::WaitCommEvent(Handle port, DWORD* mask, Overlapped* overlapped) {
  if (mask == nullptr || overlapped == nullptr) {
    return false;
  }
  std::optional<PortUse> use = Use(port);
  if (!use) {
    FailIfDead("wait for events on", port);
    return false;
  }
  LineSnapshot now;
  const int error = (*use)->lineEvents ? Snapshot(**use, now) : ENOTTY;
  std::lock_guard lock(mutex_);
  Port& armed = **use;
  if (IsGone(error)) {
    Fail("wait for events on", armed, error);
    MarkDeadLocked(armed);
    return false;
  }
  if (armed.dead || armed.pending || !events_.contains(overlapped->hEvent)) {
    return false;
  }
  // What happened since the last report completes this wait at once; what the mask leaves out is
  // not kept.
  DWORD bits = 0;
  if (error == 0) {
    bits = LineEventBits(armed.reference, now) & armed.mask;
    armed.reference = now;
  }
  armed.pending = true;
  armed.pendingMask = mask;
  armed.pendingEvent = overlapped->hEvent;
  if (bits != 0) {
    CompleteWaitLocked(armed, bits);
  } else {
    changed_.notify_all();
  }
  return true;
}

std::shared_ptr<PosixSerial::Port> PosixSerial::ArmedPortLocked(Handle portEvent) {
  for (auto& [handle, port] : ports_) {
    if (port->pending && port->pendingEvent == portEvent && port->lineEvents && !port->dead) {
      return port;
    }
  }
  return nullptr;
}

DWORD PosixSerial::WaitForStopOrPortEvent(Handle stopEvent, Handle portEvent) {
  std::unique_lock lock(mutex_);
  Waiter self{::pthread_self(), stopEvent, portEvent};
  framework::Activity::EndBusy();
  waiters_.push_back(&self);
  const DWORD result = BlockUntilSignalled(lock, self);
  std::erase(waiters_, &self);
  if (!self.busy) {
    framework::Activity::BeginBusy();
  }
  return result;
}

DWORD PosixSerial::BlockUntilSignalled(std::unique_lock<std::mutex>& lock, Waiter& self) {
  std::optional<WakeTicker> ticker;
  for (;;) {
    if (!events_.contains(self.stopEvent) || !events_.contains(self.portEvent)) {
      return kWaitFailed;
    }
    if (TakeLocked(self.stopEvent)) {
      return kWaitObject0;
    }
    if (TakeLocked(self.portEvent)) {
      return kWaitObject0 + 1;
    }
    std::shared_ptr<Port> port = ArmedPortLocked(self.portEvent);
    if (!port) {
      ticker.reset();
      changed_.wait(lock);
      continue;
    }

    ++port->users;
    self.inDriver = true;
    const bool canWaitLines = port->canWaitLines;
    lock.unlock();
    if (!ticker) {
      ticker.emplace(kCounterPollMs);
    }
    int waitError = EINTR;
    if (canWaitLines) {
      waitError = control_.WaitModemChange(
          port->fd, ModemLine::kCts | ModemLine::kDsr | ModemLine::kCd | ModemLine::kRi);
    } else {
      WaitForSignal();
    }
    LineSnapshot now;
    const int error = Snapshot(*port, now);
    lock.lock();
    self.inDriver = false;
    --port->users;
    changed_.notify_all();

    if (waitError == ENOTTY || waitError == EINVAL) {
      port->canWaitLines = false;  // counters only, looked at on every tick
    }
    if (IsGone(waitError) || IsGone(error)) {
      Fail("wait for events on", *port, IsGone(waitError) ? waitError : error);
      MarkDeadLocked(*port);  // an unplugged adapter ends the wait with no bits
      continue;
    }
    if (error == 0 && port->pending) {
      const DWORD bits = LineEventBits(port->reference, now) & port->mask;
      port->reference = now;
      if (bits != 0) {
        CompleteWaitLocked(*port, bits);
      }
    }
  }
}

}  // namespace varnet::posix
