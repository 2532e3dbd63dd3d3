// The virtual bench: a simulated USB-to-serial adapter on COM3 with its vendor driver, a plug on
// its serial side and an operator who can reach everything a bench engineer could.
//
// All state sits behind one mutex. Model time runs on the time source: every call first brings the
// adapter up to the time source's now, and calls that block (writes, comm-event waits) let model
// time pass while they wait. With a time source that passes on its own, a thread of the bench's
// own does the same while nobody calls.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "platform/driver_api.h"
#include "platform/event_state.h"
#include "platform/serial_api.h"
#include "platform/system_api.h"
#include "platform_virtual/bench_control.h"
#include "platform_virtual/time_source.h"

namespace varnet::bench {

inline constexpr const char* kComPortPath = "\\\\.\\COM3";
inline constexpr const char* kDriverPath = "\\\\.\\RARUDA-1";
inline constexpr std::size_t kTransmitFifoSize = 256;
inline constexpr std::size_t kReceiveBufferSize = 4096;

// The settings a port starts from at every open.
Dcb PowerOnDcb();

class VirtualBench final : public SerialApi, public DriverApi, public Clock, public BenchControl {
 public:
  explicit VirtualBench(TimeSource& time);
  ~VirtualBench() override;
  VirtualBench(const VirtualBench&) = delete;
  VirtualBench& operator=(const VirtualBench&) = delete;

  // SerialApi
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
  // True when the wait was started or completed at once; false when it could not start.
  bool WaitCommEvent(Handle port, DWORD* mask, Overlapped* overlapped) override;
  DWORD WaitForStopOrPortEvent(Handle stopEvent, Handle portEvent) override;
  DWORD WriteBlock(Handle port, std::span<const std::uint8_t> data, DWORD waitMs) override;
  DWORD ReadBlock(Handle port, std::span<std::uint8_t> buffer, DWORD waitMs) override;

  // DriverApi
  Handle OpenDriver(const std::string& path) override;
  bool CloseDriver(Handle driver) override;
  bool DeviceIoControl(Handle channel, DWORD code, const void* input, DWORD inputLength, void* output,
                       DWORD outputLength, DWORD* returned) override;

  // Clock
  DWORD GetTickCount() override;

  // BenchControl
  void Unplug() override;
  void Plug() override;
  void SetPlug(PlugKind plug) override;
  bool DriveLine(InputLine line, bool on) override;
  void SendBreak() override;
  void RaiseLineError(LineError error) override;
  void Receive(std::span<const std::uint8_t> bytes) override;
  void DriveGpio(int pin, std::optional<int> level) override;
  void SetDeviceDescriptor(std::vector<std::uint8_t> bytes) override;
  void SetConfigurationSet(std::vector<std::uint8_t> bytes) override;
  void SetStringDescriptor(int index, std::vector<std::uint8_t> bytes) override;
  void FailNext(std::uint32_t requestCode) override;
  void Drop(int count) override;
  void Corrupt(int distance) override;
  std::vector<std::uint8_t> TakeTransmitted() override;
  std::vector<std::string> TakeRequestLines() override;
  std::string PortLine() override;
  bool IsQuiet() override;

  // Brings the adapter up to the time source's now. Every call does this first; a test on the
  // fake clock calls it after advancing the clock when it has nothing else to ask.
  void CatchUp();

 private:
  class Session;
  struct WriteOperation;

  struct PendingWait {
    DWORD* mask = nullptr;
    Handle event = kInvalidHandle;
  };
  struct PortHandle {
    int generation = 0;
    DWORD mask = 0;
    DWORD kept = 0;  // events that happened while no wait was pending
    std::optional<PendingWait> wait;
  };
  struct DriverHandle {
    int generation = 0;
  };
  using EventObject = EventState;
  struct InputLevels {
    bool cts = false;
    bool dsr = false;
    bool dcd = false;
    bool ri = false;
  };
  // The character being shifted out; a FIFO byte stays in the FIFO until it has left.
  struct Shifting {
    std::uint8_t byte = 0;
    bool fromFifo = false;
    Nanoseconds end = 0;
  };
  struct GpPin {
    bool output = false;
    std::uint8_t latch = 0;
  };
  // What the adapter loses when it is unplugged (its EEPROM aside).
  struct Adapter {
    Dcb dcb = PowerOnDcb();
    CommTimeouts timeouts;
    bool dtr = false;
    bool rts = false;
    bool breakOn = false;
    bool heldByXoff = false;
    std::deque<std::uint8_t> fifo;
    std::deque<std::uint8_t> flowChars;  // Xon/Xoff to send ahead of the FIFO
    std::optional<Shifting> shifting;
    std::deque<std::uint8_t> received;
    bool overrunReported = false;
    bool receiveHeld = false;  // above the Xoff mark, not yet below XonLim
    bool xoffSent = false;
    std::vector<std::uint16_t> registers = std::vector<std::uint16_t>(65536, 0);
    std::uint16_t deviceStatus = 0;
    std::optional<Nanoseconds> eepromBusyUntil;
    std::array<GpPin, 2> gp;
    std::uint16_t interruptEvents = 0;  // break and error bits since the last interrupt read
  };

  // Model time.
  void AdvanceTo(Nanoseconds target);
  std::optional<Nanoseconds> NextHappening() const;
  void LetTimePass(std::unique_lock<std::mutex>& lock, std::optional<Nanoseconds> deadline,
                   const std::function<bool()>& done);
  void TickerLoop();

  // Transmitter and receiver.
  Nanoseconds CharacterTime() const;
  bool TransmitterMayRun() const;
  void StartNextCharacter();
  void CharacterLeft();
  void RefillFifo();
  void Arrive(std::uint8_t byte, bool throughLoop);
  void ReceiveBufferShrank();
  void RemoveFlowHold();
  void BreakArrived();
  DWORD RunWrite(std::unique_lock<std::mutex>& lock, std::span<const std::uint8_t> data,
                 std::optional<Nanoseconds> timeout);
  std::size_t TakeReceived(std::span<std::uint8_t> buffer);

  // Lines and events.
  InputLevels Inputs() const;
  void InputsChangedFrom(const InputLevels& before);
  void Raise(DWORD events);
  void FlushEvents();
  void Signal(Handle event);
  void EndWait(PortHandle& port, DWORD bits);
  void SetHandshakeLines(bool high);

  // Handles and power.
  Handle NewHandle();
  PortHandle* LivePort(Handle port);
  bool IsLiveChannel(Handle channel) const;
  void PowerOn();
  void ClosePortLocked();

  // Driver requests.
  bool Serve(std::uint32_t code, std::span<const std::uint8_t> in, std::span<std::uint8_t> out,
             DWORD& returned, std::unique_lock<std::mutex>& lock);
  void RecordRequest(std::uint32_t code, std::span<const std::uint8_t> in, DWORD outLength);
  std::uint8_t GpLevel(int pin) const;

  TimeSource& time_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  Nanoseconds now_;

  // Handles.
  Handle nextHandle_ = 0x100;
  std::map<Handle, PortHandle> ports_;
  std::map<Handle, DriverHandle> drivers_;
  std::map<Handle, EventObject> events_;
  // A thread blocked in WaitForStopOrPortEvent. As with a Win32 wait, the wait is satisfied at
  // the moment one of its events is signalled, not when the thread next runs: an event set
  // afterwards (the stop event right after a port event) cannot take the result back.
  struct BlockedWait {
    Handle stopEvent;
    Handle portEvent;
    std::optional<DWORD> result;
  };
  void SatisfyBlockedWaits();
  std::list<BlockedWait*> blockedWaits_;  // in the order the threads blocked
  std::optional<Handle> portOwner_;       // the live handle that has COM3 open

  // The adapter.
  bool plugged_ = true;
  int generation_ = 0;
  Adapter adapter_;
  std::array<std::uint8_t, 256> eeprom_;
  std::deque<std::shared_ptr<WriteOperation>> writes_;
  DWORD pendingEvents_ = 0;

  // What belongs to the bench.
  PlugKind plug_ = PlugKind::Loopback;
  InputLevels driven_;
  std::array<std::optional<int>, 2> gpDriven_;
  std::vector<std::uint8_t> deviceDescriptor_;
  std::vector<std::uint8_t> configurationSet_;
  std::map<int, std::vector<std::uint8_t>> strings_;
  std::map<std::uint32_t, int> failNext_;
  int dropCount_ = 0;
  std::uint64_t storedCount_ = 0;  // bytes that have reached the receive buffer
  std::multiset<std::uint64_t> corruptAt_;
  std::deque<std::uint8_t> farEnd_;  // bytes the far end is sending, the first on the line
  std::optional<Nanoseconds> farEndCharacterEnd_;
  std::vector<std::uint8_t> transmitted_;
  std::vector<std::string> requestLines_;

  bool stopping_ = false;
  std::thread ticker_;  // last: starts after everything above exists
};

}  // namespace varnet::bench
