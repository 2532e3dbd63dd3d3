// The serial port on a Linux tty (termios), with the comm-event wait made of the driver's line
// change wait (TIOCMIWAIT) and its counters (TIOCGICOUNT).
//
// Handles of ports and events come from one table of this object; a handle is never reused while
// the object lives. Every call may come from any thread.
#pragma once

#include <pthread.h>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/event_state.h"
#include "platform/serial_api.h"
#include "platform_posix/com_device_map.h"
#include "platform_posix/line_events.h"
#include "platform_posix/tty_control.h"

namespace varnet::posix {

class PosixSerial : public SerialApi {
 public:
  // How often a blocked comm-event wait looks at the break and error counters, which no driver
  // call can wait for.
  static constexpr int kCounterPollMs = 200;

  explicit PosixSerial(ComDeviceMap devices = ComDeviceMap::Default(),
                       TtyControl& control = SystemTtyControl());
  ~PosixSerial() override;
  PosixSerial(const PosixSerial&) = delete;
  PosixSerial& operator=(const PosixSerial&) = delete;

  Handle OpenPort(const std::string& path) override;
  bool ClosePort(Handle port) override;
  bool GetCommState(Handle port, Dcb& dcb) override;
  bool SetCommState(Handle port, const Dcb& dcb) override;
  bool GetCommTimeouts(Handle port, CommTimeouts& timeouts) override;
  bool SetCommTimeouts(Handle port, const CommTimeouts& timeouts) override;
  bool SetCommMask(Handle port, DWORD mask) override;
  bool EscapeCommFunction(Handle port, EscapeFunction function) override;
  Handle CreateEvent(bool manualReset, bool initialState) override;
  bool SetEvent(Handle event) override;
  bool CloseEvent(Handle event) override;
  bool WaitCommEvent(Handle port, DWORD* mask, Overlapped* overlapped) override;
  DWORD WaitForStopOrPortEvent(Handle stopEvent, Handle portEvent) override;
  DWORD WriteBlock(Handle port, std::span<const std::uint8_t> data, DWORD waitMs) override;
  DWORD ReadBlock(Handle port, std::span<std::uint8_t> buffer, DWORD waitMs) override;

  // The kernel's name of the tty behind an open, live port ("ttyUSB0"), for the driver channel.
  std::optional<std::string> TtyName(Handle port);

 private:
  struct Port {
    int fd = -1;
    std::string ttyName;
    Dcb held;  // the last record written, for the fields a tty has no place for
    CommTimeouts timeouts;
    DWORD mask = 0;
    bool dead = false;         // the adapter has gone away
    bool lineEvents = false;   // the driver counts line changes and errors (TIOCGICOUNT)
    bool canWaitLines = true;  // ... and waits for line changes (TIOCMIWAIT)
    LineSnapshot reference;    // the lines and counters as last reported or dismissed
    // The pending comm-event wait.
    bool pending = false;
    DWORD* pendingMask = nullptr;
    Handle pendingEvent = kInvalidHandle;
    int users = 0;  // calls working on fd outside the lock; fd is closed when none is left
  };
  using Event = EventState;
  struct Waiter {
    pthread_t thread;
    Handle stopEvent;
    Handle portEvent;
    bool inDriver = false;  // blocked in a driver call: only a signal reaches it
    bool busy = false;      // counted busy again by whoever signalled one of its events
  };
  // Keeps a port's fd open for a call that works on it outside the lock: a port is closed only
  // once no call uses it any more.
  class PortUse {
   public:
    PortUse(PosixSerial& owner, std::shared_ptr<Port> port) : owner_(&owner), port_(std::move(port)) {}
    PortUse(PortUse&& other) noexcept : owner_(other.owner_), port_(std::move(other.port_)) {}
    PortUse& operator=(PortUse&&) = delete;
    ~PortUse();
    Port* operator->() const { return port_.get(); }
    Port& operator*() const { return *port_; }

   private:
    PosixSerial* owner_;
    std::shared_ptr<Port> port_;
  };

  std::optional<PortUse> Use(Handle port);
  std::shared_ptr<Port> FindLocked(Handle port);
  void SetEventLocked(Handle event);
  bool TakeLocked(Handle event);
  void CompleteWaitLocked(Port& port, DWORD bits);
  void MarkDeadLocked(Port& port);
  int Snapshot(const Port& port, LineSnapshot& snapshot);
  std::shared_ptr<Port> ArmedPortLocked(Handle portEvent);
  DWORD BlockUntilSignalled(std::unique_lock<std::mutex>& lock, Waiter& self);
  static bool IsGone(int error);

  ComDeviceMap devices_;
  TtyControl& control_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<Handle, std::shared_ptr<Port>> ports_;
  std::map<Handle, Event> events_;
  std::vector<Waiter*> waiters_;
  Handle nextHandle_ = 0x100;
};

}  // namespace varnet::posix
