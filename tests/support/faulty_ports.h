// The virtual bench seen through a layer that lets a test strike at one platform call: the
// adapter is pulled out just before the call reaches it, or the call is refused as a failing
// system would refuse it. Calls are counted apart for the thread that made the layer (the
// window's thread) and for every other thread (the monitor), since each makes its own calls in
// an order of its own.
#pragma once

#include <functional>
#include <mutex>
#include <thread>

#include "platform/driver_api.h"
#include "platform/serial_api.h"
#include "platform_virtual/virtual_bench.h"

namespace varnet::bench::testing {

enum class Fault { None, Unplug, Refuse };
enum class Caller { Window, Monitor };

class FaultyPorts final : public SerialApi, public DriverApi {
 public:
  explicit FaultyPorts(VirtualBench& bench) : bench_(bench), window_(std::this_thread::get_id()) {}

  // Call number `call` (from 1) of `caller`, from now on, meets `fault`. Counting restarts.
  void Arm(Fault fault, Caller caller, int call);
  // Calls made by `caller` since the last Arm().
  int Calls(Caller caller);
  // True once the armed fault has struck.
  bool Struck();
  // Called on the window's thread after each of its writes returns, with the write's number
  // (from 1, since the last Arm()).
  std::function<void(int)> afterWrite;

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
  Handle OpenDriver(const std::string& path) override;
  bool CloseDriver(Handle driver) override;
  bool DeviceIoControl(Handle channel, DWORD code, const void* input, DWORD inputLength, void* output,
                       DWORD outputLength, DWORD* returned) override;

 private:
  // Counts the call; true when it is to be refused (an unplug has then already been done).
  bool Refused();

  VirtualBench& bench_;
  const std::thread::id window_;
  std::mutex mutex_;
  Fault fault_ = Fault::None;
  Caller caller_ = Caller::Window;
  int call_ = 0;
  int windowCalls_ = 0;
  int monitorCalls_ = 0;
  int writes_ = 0;
  bool struck_ = false;
};

}  // namespace varnet::bench::testing
