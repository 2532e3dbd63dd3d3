#include "tests/support/faulty_ports.h"

namespace varnet::bench::testing {

void FaultyPorts::Arm(Fault fault, Caller caller, int call) {
  std::lock_guard lock(mutex_);
  fault_ = fault;
  caller_ = caller;
  call_ = call;
  windowCalls_ = 0;
  monitorCalls_ = 0;
  writes_ = 0;
  struck_ = false;
}

int FaultyPorts::Calls(Caller caller) {
  std::lock_guard lock(mutex_);
  return caller == Caller::Window ? windowCalls_ : monitorCalls_;
}

bool FaultyPorts::Struck() {
  std::lock_guard lock(mutex_);
  return struck_;
}

bool FaultyPorts::Refused() {
  Fault fault = Fault::None;
  {
    std::lock_guard lock(mutex_);
    const Caller caller = std::this_thread::get_id() == window_ ? Caller::Window : Caller::Monitor;
    const int number = caller == Caller::Window ? ++windowCalls_ : ++monitorCalls_;
    if (caller == caller_ && number == call_ && fault_ != Fault::None) {
      fault = fault_;
      struck_ = true;
    }
  }
  // Outside the lock: pulling the adapter out wakes the other thread's waits, which call in here.
  if (fault == Fault::Unplug) {
    bench_.Unplug();
  }
  return fault == Fault::Refuse;
}

Handle FaultyPorts::OpenPort(const std::string& path) {
  return Refused() ? kInvalidHandle : bench_.OpenPort(path);
}
bool FaultyPorts::ClosePort(Handle port) { return !Refused() && bench_.ClosePort(port); }
bool FaultyPorts::GetCommState(Handle port, Dcb& dcb) { return !Refused() && bench_.GetCommState(port, dcb); }
bool FaultyPorts::SetCommState(Handle port, const Dcb& dcb) {
  return !Refused() && bench_.SetCommState(port, dcb);
}
bool FaultyPorts::GetCommTimeouts(Handle port, CommTimeouts& timeouts) {
  return !Refused() && bench_.GetCommTimeouts(port, timeouts);
}
bool FaultyPorts::SetCommTimeouts(Handle port, const CommTimeouts& timeouts) {
  return !Refused() && bench_.SetCommTimeouts(port, timeouts);
}
bool FaultyPorts::SetCommMask(Handle port, DWORD mask) {
  return !Refused() && bench_.SetCommMask(port, mask);
}
bool FaultyPorts::EscapeCommFunction(Handle port, EscapeFunction function) {
  return !Refused() && bench_.EscapeCommFunction(port, function);
}
Handle FaultyPorts::CreateEvent(bool manualReset, bool initialState) {
  return Refused() ? kInvalidHandle : bench_.CreateEvent(manualReset, initialState);
}
bool FaultyPorts::SetEvent(Handle event) { return !Refused() && bench_.SetEvent(event); }
bool FaultyPorts::CloseEvent(Handle event) { return !Refused() && bench_.CloseEvent(event); }
bool FaultyPorts::WaitCommEvent(Handle port, DWORD* mask, Overlapped* overlapped) {
  return !Refused() && bench_.WaitCommEvent(port, mask, overlapped);
}
DWORD FaultyPorts::WaitForStopOrPortEvent(Handle stopEvent, Handle portEvent) {
  return Refused() ? kWaitFailed : bench_.WaitForStopOrPortEvent(stopEvent, portEvent);
}
DWORD FaultyPorts::WriteBlock(Handle port, std::span<const std::uint8_t> data, DWORD waitMs) {
  const DWORD written = Refused() ? 0 : bench_.WriteBlock(port, data, waitMs);
  if (std::this_thread::get_id() == window_ && afterWrite) {
    int number = 0;
    {
      std::lock_guard lock(mutex_);
      number = ++writes_;
    }
    afterWrite(number);
  }
  return written;
}
DWORD FaultyPorts::ReadBlock(Handle port, std::span<std::uint8_t> buffer, DWORD waitMs) {
  return Refused() ? 0 : bench_.ReadBlock(port, buffer, waitMs);
}
Handle FaultyPorts::OpenDriver(const std::string& path) {
  return Refused() ? kInvalidHandle : bench_.OpenDriver(path);
}
bool FaultyPorts::CloseDriver(Handle driver) { return !Refused() && bench_.CloseDriver(driver); }
bool FaultyPorts::DeviceIoControl(Handle channel, DWORD code, const void* input, DWORD inputLength,
                                  void* output, DWORD outputLength, DWORD* returned) {
  if (Refused()) {
    if (returned != nullptr) {
      *returned = 0;
    }
    return false;
  }
  return bench_.DeviceIoControl(channel, code, input, inputLength, output, outputLength, returned);
}

}  // namespace varnet::bench::testing
