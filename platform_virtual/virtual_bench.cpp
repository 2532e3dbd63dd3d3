// The bench's clockwork, handles and power: what every other part of the bench stands on.
#include "platform_virtual/virtual_bench.h"

#include <algorithm>

#include "framework/activity.h"
#include "platform_virtual/bench_session.h"
#include "platform_virtual/usb_descriptors.h"

namespace varnet::bench {

Dcb PowerOnDcb() {
  Dcb dcb;
  dcb.BaudRate = 9600;
  dcb.flags = DcbFlag::kBinary | (kControlEnable << DcbFlag::kDtrControlShift) |
              (kControlEnable << DcbFlag::kRtsControlShift);
  dcb.XonLim = 2048;
  dcb.XoffLim = 512;
  dcb.ByteSize = 8;
  dcb.Parity = 0;
  dcb.StopBits = 0;
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  dcb.EvtChar = 0x00;
  return dcb;
}

VirtualBench::VirtualBench(TimeSource& time)
    : time_(time),
      now_(time.Now()),
      deviceDescriptor_(DefaultDeviceDescriptor()),
      configurationSet_(DefaultConfigurationSet()),
      strings_(DefaultStringDescriptors()) {
  eeprom_.fill(0xFF);
  if (time_.PassesOnItsOwn()) {
    ticker_ = std::thread([this] { TickerLoop(); });
  }
}

VirtualBench::~VirtualBench() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (ticker_.joinable()) {
    ticker_.join();
  }
}

void VirtualBench::CatchUp() { Session session(*this, false); }

DWORD VirtualBench::GetTickCount() {
  return static_cast<DWORD>(static_cast<std::uint64_t>(time_.Now() / kNanosecondsPerMillisecond));
}

std::optional<Nanoseconds> VirtualBench::NextHappening() const {
  std::optional<Nanoseconds> next;
  const auto consider = [&next](std::optional<Nanoseconds> when) {
    if (when && (!next || *when < *next)) {
      next = when;
    }
  };
  if (adapter_.shifting) {
    consider(adapter_.shifting->end);
  }
  consider(NextHappeningBesideTheTransmitter());
  return next;
}

std::optional<Nanoseconds> VirtualBench::NextHappeningBesideTheTransmitter() const {
  std::optional<Nanoseconds> next;
  const auto consider = [&next](std::optional<Nanoseconds> when) {
    if (when && (!next || *when < *next)) {
      next = when;
    }
  };
  consider(farEndCharacterEnd_);
  consider(adapter_.eepromBusyUntil);
  for (const auto& write : writes_) {
    if (!write->done) {
      consider(write->deadline);
    }
  }
  return next;
}

void VirtualBench::AdvanceTo(Nanoseconds target) {
  bool moved = false;
  const std::size_t writesBefore = writes_.size();
  for (;;) {
    // Characters that leave before anything else happens take the short way: nothing else
    // changes at their instants.
    const std::optional<Nanoseconds> other = NextHappeningBesideTheTransmitter();
    while (adapter_.shifting && adapter_.shifting->end <= target &&
           (!other || adapter_.shifting->end < *other)) {
      now_ = std::max(now_, adapter_.shifting->end);
      moved = true;
      CharacterLeft();
      FlushEvents();
    }
    const std::optional<Nanoseconds> next = NextHappening();
    if (!next || *next > target) {
      break;
    }
    now_ = std::max(now_, *next);
    moved = true;
    if (adapter_.shifting && adapter_.shifting->end <= now_) {
      CharacterLeft();
    }
    if (farEndCharacterEnd_ && *farEndCharacterEnd_ <= now_) {
      const std::uint8_t byte = farEnd_.front();
      farEnd_.pop_front();
      farEndCharacterEnd_.reset();
      if (!farEnd_.empty()) {
        farEndCharacterEnd_ = now_ + CharacterTime();
      }
      Arrive(byte, false);
    }
    if (adapter_.eepromBusyUntil && *adapter_.eepromBusyUntil <= now_) {
      adapter_.eepromBusyUntil.reset();
    }
    // After the FIFO has taken what it could at this instant: a byte entering at the deadline
    // still counts.
    for (const auto& write : writes_) {
      if (!write->done && write->deadline && *write->deadline <= now_) {
        write->done = true;
      }
    }
    std::erase_if(writes_, [](const auto& write) { return write->done; });
    FlushEvents();
  }
  now_ = std::max(now_, target);
  if (moved) {
    framework::Activity::Touch();
    // Only for what a waiting thread waits for: waking the others at every step would have them
    // wake each other for every character that left in between.
    if (writes_.size() < writesBefore || arrivalWaiters_ > 0) {
      wake_.notify_all();
    }
  }
}

void VirtualBench::LetTimePass(std::unique_lock<std::mutex>& lock, std::optional<Nanoseconds> deadline,
                               const std::function<bool()>& done) {
  for (;;) {
    AdvanceTo(time_.Now());
    FlushEvents();
    if (done() || (deadline && now_ >= *deadline)) {
      return;
    }
    std::optional<Nanoseconds> until = NextWakeup();
    if (deadline && (!until || *deadline < *until)) {
      until = deadline;
    }
    if (until) {
      time_.WaitUntil(lock, wake_, *until);
    } else {
      time_.Wait(lock, wake_);
    }
  }
}

void VirtualBench::TickerLoop() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopping_) {
    AdvanceTo(time_.Now());
    FlushEvents();
    if (const std::optional<Nanoseconds> next = NextWakeup()) {
      time_.WaitUntil(lock, wake_, *next);
    } else {
      time_.Wait(lock, wake_);
    }
  }
}

Handle VirtualBench::NewHandle() {
  const Handle handle = nextHandle_;
  nextHandle_ += 4;
  return handle;
}

VirtualBench::PortHandle* VirtualBench::LivePort(Handle port) {
  const auto it = ports_.find(port);
  if (it == ports_.end() || !plugged_ || it->second.generation != generation_ || portOwner_ != port) {
    return nullptr;
  }
  return &it->second;
}

bool VirtualBench::IsLiveChannel(Handle channel) const {
  if (const auto port = ports_.find(channel); port != ports_.end()) {
    return plugged_ && port->second.generation == generation_ && portOwner_ == channel;
  }
  const auto driver = drivers_.find(channel);
  return driver != drivers_.end() && plugged_ && driver->second.generation == generation_;
}

void VirtualBench::PowerOn() {
  adapter_ = Adapter{};
  for (const auto& write : writes_) {
    write->entered = 0;  // the adapter went away with them: nothing was transferred
    write->done = true;
  }
  writes_.clear();
  wake_.notify_all();
}

void VirtualBench::Unplug() {
  Session session(*this, true);
  if (!plugged_) {
    return;
  }
  plugged_ = false;
  ++generation_;
  for (auto& [handle, port] : ports_) {
    EndWait(port, 0);
  }
  portOwner_.reset();
  pendingEvents_ = 0;
  PowerOn();
}

void VirtualBench::Plug() {
  Session session(*this, true);
  if (plugged_) {
    return;
  }
  plugged_ = true;
  PowerOn();
}

bool VirtualBench::IsQuiet() {
  Session session(*this, false);
  // A FIFO byte that flow control lets go is always already shifting, so a FIFO that holds
  // bytes without one is held and cannot move on its own.
  if (adapter_.shifting || !farEnd_.empty() || adapter_.eepromBusyUntil) {
    return false;
  }
  // A wait satisfied but not yet returned from belongs to a busy thread, which the observer
  // counts itself; nothing else of the events can move on its own.
  return true;
}

}  // namespace varnet::bench
