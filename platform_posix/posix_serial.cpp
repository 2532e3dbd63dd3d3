// The port table, opening and closing, settings, modem lines and events. The comm-event wait is in
// comm_event_wait.cpp, the transfers in port_transfers.cpp.
#include "platform_posix/posix_serial.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "framework/activity.h"
#include "platform_posix/dcb_translation.h"
#include "platform_posix/line_settings.h"
#include "platform_posix/wake_signal.h"

namespace varnet::posix {
namespace {

// The kernel's name of the tty a device file (or a link to one) stands for.
std::string TtyNameOf(const std::string& device) {
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(device, error);
  return (error ? std::filesystem::path(device) : real).filename().string();
}

// A driver that does not know the call (a pty), or does not take these arguments.
bool Unsupported(int error) { return error == ENOTTY || error == EINVAL || error == ENOSYS; }

}  // namespace

PosixSerial::PortUse::~PortUse() {
  if (port_) {
    std::lock_guard lock(owner_->mutex_);
    --port_->users;
    owner_->changed_.notify_all();
  }
}

PosixSerial::PosixSerial(ComDeviceMap devices, TtyControl& control)
    : devices_(std::move(devices)), control_(control) {
  InstallWakeSignal();
}

PosixSerial::~PosixSerial() {
  for (auto& [handle, port] : ports_) {
    ::close(port->fd);
  }
}

bool PosixSerial::IsGone(int error) { return error == EIO || error == ENODEV || error == ENXIO; }

std::shared_ptr<PosixSerial::Port> PosixSerial::FindLocked(Handle port) {
  auto found = ports_.find(port);
  return found == ports_.end() ? nullptr : found->second;
}

std::optional<PosixSerial::PortUse> PosixSerial::Use(Handle port) {
  std::lock_guard lock(mutex_);
  std::shared_ptr<Port> found = FindLocked(port);
  if (!found || found->dead) {
    return std::nullopt;
  }
  ++found->users;
  return PortUse(*this, std::move(found));
}

Handle PosixSerial::OpenPort(const std::string& path) {
  const std::optional<std::string> device = devices_.DeviceFor(path);
  if (!device) {
    return kInvalidHandle;
  }
  const int fd = ::open(device->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return kInvalidHandle;
  }
  // Exclusive as share mode 0 is: TIOCEXCL keeps other programs out (except those with
  // CAP_SYS_ADMIN, which it does not stop), the lock keeps out every other open through this layer,
  // in this process or another, whoever runs it.
  LineSettings line;
  if (!::isatty(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0 ||
      MakeRaw(fd) != 0 || ReadLineSettings(fd, line) != 0) {
    ::close(fd);
    return kInvalidHandle;
  }
  auto port = std::make_shared<Port>();
  port->fd = fd;
  port->ttyName = TtyNameOf(*device);
  port->held = InitialDcb(line);
  LineSnapshot snapshot;
  port->lineEvents = Snapshot(*port, snapshot) == 0;
  port->reference = snapshot;

  std::lock_guard lock(mutex_);
  const Handle handle = nextHandle_++;
  ports_[handle] = std::move(port);
  return handle;
}

bool PosixSerial::ClosePort(Handle port) {
  std::shared_ptr<Port> closing;
  {
    std::unique_lock lock(mutex_);
    auto found = ports_.find(port);
    if (found == ports_.end()) {
      return false;
    }
    closing = found->second;
    ports_.erase(found);
    // Ends a pending wait with no bits; that also wakes a monitor blocked in the driver on fd.
    CompleteWaitLocked(*closing, 0);
    changed_.wait(lock, [&] { return closing->users == 0; });
  }
  ::close(closing->fd);
  return true;
}

std::optional<std::string> PosixSerial::TtyName(Handle port) {
  std::lock_guard lock(mutex_);
  std::shared_ptr<Port> found = FindLocked(port);
  if (!found || found->dead) {
    return std::nullopt;
  }
  return found->ttyName;
}

bool PosixSerial::GetCommState(Handle port, Dcb& dcb) {
  std::optional<PortUse> use = Use(port);
  if (!use) {
    return false;
  }
  LineSettings line;
  const int error = ReadLineSettings((*use)->fd, line);
  std::lock_guard lock(mutex_);
  if (error != 0) {
    if (IsGone(error)) {
      MarkDeadLocked(**use);
    }
    return false;
  }
  dcb = DcbForSettings(line, (*use)->held);
  return true;
}

bool PosixSerial::SetCommState(Handle port, const Dcb& dcb) {
  const std::optional<SettingsWrite> write = SettingsForDcb(dcb);
  if (!write) {
    return false;
  }
  std::optional<PortUse> use = Use(port);
  if (!use) {
    return false;
  }
  const int fd = (*use)->fd;
  int error = WriteLineSettings(fd, write->line);
  // As Win32 does, the record's DTR and RTS control moves the lines at every write. A driver
  // without modem lines (a pty) still takes the settings.
  auto move = [&](LineAction action, int line) {
    if (error == 0 && action != LineAction::Handshake) {
      const int lineError = control_.ChangeModemLines(fd, line, action == LineAction::Raise);
      if (!Unsupported(lineError)) {
        error = lineError;
      }
    }
  };
  move(write->dtr, ModemLine::kDtr);
  move(write->rts, ModemLine::kRts);
  std::lock_guard lock(mutex_);
  if (error != 0) {
    if (IsGone(error)) {
      MarkDeadLocked(**use);
    }
    return false;
  }
  (*use)->held = dcb;
  (*use)->held.DCBlength = sizeof(Dcb);
  return true;
}

bool PosixSerial::GetCommTimeouts(Handle port, CommTimeouts& timeouts) {
  std::lock_guard lock(mutex_);
  std::shared_ptr<Port> found = FindLocked(port);
  if (!found || found->dead) {
    return false;
  }
  timeouts = found->timeouts;
  return true;
}

bool PosixSerial::SetCommTimeouts(Handle port, const CommTimeouts& timeouts) {
  std::lock_guard lock(mutex_);
  std::shared_ptr<Port> found = FindLocked(port);
  if (!found || found->dead) {
    return false;
  }
  found->timeouts = timeouts;
  return true;
}

bool PosixSerial::SetCommMask(Handle port, DWORD mask) {
  std::optional<PortUse> use = Use(port);
  if (!use) {
    return false;
  }
  // What happened before the mask was set is not kept for the next wait.
  LineSnapshot now;
  const int error = (*use)->lineEvents ? Snapshot(**use, now) : 0;
  std::lock_guard lock(mutex_);
  if (IsGone(error)) {
    MarkDeadLocked(**use);
    return false;
  }
  (*use)->mask = mask;
  if (error == 0) {
    (*use)->reference = now;
  }
  // Win32: a new mask ends a pending wait with no bits.
  CompleteWaitLocked(**use, 0);
  return true;
}

bool PosixSerial::EscapeCommFunction(Handle port, EscapeFunction function) {
  std::optional<PortUse> use = Use(port);
  if (!use) {
    return false;
  }
  const int fd = (*use)->fd;
  Dcb held;
  {
    std::lock_guard lock(mutex_);
    held = (*use)->held;
  }
  int error = 0;
  switch (function) {
    case EscapeFunction::SetDtr:
    case EscapeFunction::ClrDtr:
      // A line under handshake control belongs to the flow control, as on Win32.
      if (DtrControl(held) == kControlHandshake) {
        return false;
      }
      error = control_.ChangeModemLines(fd, ModemLine::kDtr, function == EscapeFunction::SetDtr);
      break;
    case EscapeFunction::SetRts:
    case EscapeFunction::ClrRts:
      if (RtsControl(held) == kControlHandshake) {
        return false;
      }
      error = control_.ChangeModemLines(fd, ModemLine::kRts, function == EscapeFunction::SetRts);
      break;
    case EscapeFunction::SetBreak:
    case EscapeFunction::ClrBreak:
      error = control_.SetBreak(fd, function == EscapeFunction::SetBreak);
      break;
    case EscapeFunction::SetXoff:
    case EscapeFunction::SetXon:
      error = SuspendOutput(fd, function == EscapeFunction::SetXoff);
      break;
    default:
      return false;
  }
  if (IsGone(error)) {
    std::lock_guard lock(mutex_);
    MarkDeadLocked(**use);
  }
  return error == 0;
}

Handle PosixSerial::CreateEvent(bool manualReset, bool initialState) {
  std::lock_guard lock(mutex_);
  const Handle handle = nextHandle_++;
  events_[handle] = Event{manualReset, initialState};
  return handle;
}

bool PosixSerial::SetEvent(Handle event) {
  std::lock_guard lock(mutex_);
  if (!events_.contains(event)) {
    return false;
  }
  SetEventLocked(event);
  return true;
}

bool PosixSerial::CloseEvent(Handle event) {
  std::lock_guard lock(mutex_);
  if (events_.erase(event) == 0) {
    return false;
  }
  changed_.notify_all();
  return true;
}

void PosixSerial::SetEventLocked(Handle event) {
  auto found = events_.find(event);
  if (found == events_.end()) {
    return;
  }
  found->second.signalled = true;
  for (Waiter* waiter : waiters_) {
    if (waiter->stopEvent != event && waiter->portEvent != event) {
      continue;
    }
    // Busy from the moment its signal is there, so that an observer never sees the signal set
    // and the thread that will take it still idle.
    if (!waiter->busy) {
      waiter->busy = true;
      framework::Activity::BeginBusy();
    }
    if (waiter->inDriver) {
      WakeThread(waiter->thread);
    }
  }
  changed_.notify_all();
}

bool PosixSerial::TakeLocked(Handle event) {
  auto found = events_.find(event);
  return found != events_.end() && found->second.TryTake();
}

void PosixSerial::MarkDeadLocked(Port& port) {
  port.dead = true;
  CompleteWaitLocked(port, 0);
}

}  // namespace varnet::posix
