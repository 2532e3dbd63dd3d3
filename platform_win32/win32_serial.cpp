#include <cstddef>
#include <cstdio>

#include "framework/activity.h"
#include "platform_win32/win32_platform.h"
#include "platform_win32/windows_api.h"

namespace varnet::win32 {
namespace {

// Our records keep the Win32 layouts, so the kernel can fill them in place.
static_assert(sizeof(Dcb) == sizeof(DCB));
static_assert(sizeof(::DWORD) == sizeof(varnet::DWORD));
static_assert(sizeof(Overlapped) == sizeof(OVERLAPPED));
static_assert(offsetof(Overlapped, hEvent) == offsetof(OVERLAPPED, hEvent));
static_assert(sizeof(Handle) == sizeof(HANDLE));

HANDLE ToWin32(Handle handle) { return reinterpret_cast<HANDLE>(handle); }

Handle FromWin32(HANDLE handle) { return reinterpret_cast<Handle>(handle); }

// The DCB's bit fields and our flag word, bit for bit.
Dcb FromWin32(const DCB& state) {
  Dcb dcb;
  dcb.BaudRate = state.BaudRate;
  dcb.flags = (state.fBinary ? DcbFlag::kBinary : 0) | (state.fParity ? DcbFlag::kParity : 0) |
              (state.fOutxCtsFlow ? DcbFlag::kOutxCtsFlow : 0) |
              (state.fOutxDsrFlow ? DcbFlag::kOutxDsrFlow : 0) |
              (static_cast<varnet::DWORD>(state.fDtrControl) << DcbFlag::kDtrControlShift) |
              (state.fDsrSensitivity ? DcbFlag::kDsrSensitivity : 0) |
              (state.fTXContinueOnXoff ? DcbFlag::kTXContinueOnXoff : 0) |
              (state.fOutX ? DcbFlag::kOutX : 0) | (state.fInX ? DcbFlag::kInX : 0) |
              (state.fErrorChar ? DcbFlag::kErrorChar : 0) | (state.fNull ? DcbFlag::kNull : 0) |
              (static_cast<varnet::DWORD>(state.fRtsControl) << DcbFlag::kRtsControlShift) |
              (state.fAbortOnError ? DcbFlag::kAbortOnError : 0);
  dcb.wReserved = state.wReserved;
  dcb.XonLim = state.XonLim;
  dcb.XoffLim = state.XoffLim;
  dcb.ByteSize = state.ByteSize;
  dcb.Parity = state.Parity;
  dcb.StopBits = state.StopBits;
  dcb.XonChar = state.XonChar;
  dcb.XoffChar = state.XoffChar;
  dcb.ErrorChar = state.ErrorChar;
  dcb.EofChar = state.EofChar;
  dcb.EvtChar = state.EvtChar;
  dcb.wReserved1 = state.wReserved1;
  return dcb;
}

DCB ToWin32(const Dcb& dcb) {
  DCB state{};
  state.DCBlength = sizeof(DCB);
  state.BaudRate = dcb.BaudRate;
  const auto bit = [&](varnet::DWORD mask) -> ::DWORD { return (dcb.flags & mask) != 0 ? 1 : 0; };
  state.fBinary = bit(DcbFlag::kBinary);
  state.fParity = bit(DcbFlag::kParity);
  state.fOutxCtsFlow = bit(DcbFlag::kOutxCtsFlow);
  state.fOutxDsrFlow = bit(DcbFlag::kOutxDsrFlow);
  state.fDtrControl = DtrControl(dcb);
  state.fDsrSensitivity = bit(DcbFlag::kDsrSensitivity);
  state.fTXContinueOnXoff = bit(DcbFlag::kTXContinueOnXoff);
  state.fOutX = bit(DcbFlag::kOutX);
  state.fInX = bit(DcbFlag::kInX);
  state.fErrorChar = bit(DcbFlag::kErrorChar);
  state.fNull = bit(DcbFlag::kNull);
  state.fRtsControl = RtsControl(dcb);
  state.fAbortOnError = bit(DcbFlag::kAbortOnError);
  state.wReserved = dcb.wReserved;
  state.XonLim = dcb.XonLim;
  state.XoffLim = dcb.XoffLim;
  state.ByteSize = dcb.ByteSize;
  state.Parity = dcb.Parity;
  state.StopBits = dcb.StopBits;
  state.XonChar = dcb.XonChar;
  state.XoffChar = dcb.XoffChar;
  state.ErrorChar = dcb.ErrorChar;
  state.EofChar = dcb.EofChar;
  state.EvtChar = dcb.EvtChar;
  state.wReserved1 = dcb.wReserved1;
  return state;
}

// An event for one transfer, closed when the transfer is over.
class TransferEvent {
 public:
  TransferEvent() : event_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~TransferEvent() {
    if (event_ != nullptr) {
      ::CloseHandle(event_);
    }
  }
  TransferEvent(const TransferEvent&) = delete;
  TransferEvent& operator=(const TransferEvent&) = delete;

  HANDLE Get() const { return event_; }

 private:
  HANDLE event_;
};

// The system's text for an error number, without its line end: "Access is denied."
std::string ErrorText(::DWORD error) {
  char* text = nullptr;
  const ::DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string message = length != 0 && text != nullptr ? std::string(text, length) : "";
  if (text != nullptr) {
    ::LocalFree(text);
  }
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
    message.pop_back();
  }
  return message.empty() ? "unknown error" : message;
}

// One overlapped transfer: start it, wait for its event at most waitMs, then take its result,
// waiting for the end if it is still running. A transfer that fails to start is not waited
// for: its record would never be completed, and the wait for its result would never end.
template <class Start, class Fail>
varnet::DWORD Transfer(Handle port, varnet::DWORD waitMs, Start start, Fail fail) {
  TransferEvent event;
  if (event.Get() == nullptr) {
    fail(::GetLastError());
    return 0;
  }
  OVERLAPPED overlapped{};
  overlapped.hEvent = event.Get();
  if (!start(ToWin32(port), &overlapped)) {
    const ::DWORD error = ::GetLastError();
    if (error != ERROR_IO_PENDING) {
      fail(error);
      return 0;
    }
  }
  ::WaitForSingleObject(event.Get(), waitMs);
  // A failed result still counts the bytes that moved before the failure.
  ::DWORD transferred = 0;
  if (!::GetOverlappedResult(ToWin32(port), &overlapped, &transferred, TRUE)) {
    fail(::GetLastError());
  }
  return static_cast<varnet::DWORD>(transferred);
}

}  // namespace

bool Win32Serial::Fail(const char* action, Handle handle) const {
  return Fail(action, handle, ::GetLastError());
}

bool Win32Serial::Fail(const char* action, Handle handle, unsigned long error) const {
  std::string name = "(no open handle)";
  {
    std::lock_guard lock(mutex_);
    if (const auto found = names_.find(handle); found != names_.end()) {
      name = found->second;
    }
  }
  return FailNamed(action, name, error);
}

bool Win32Serial::FailNamed(const char* action, const std::string& name, unsigned long error) const {
  if (report_) {
    report_(std::string(action) + " " + name + ": " + ErrorText(error) + " (error " + std::to_string(error) +
            ")");
  }
  // The caller's caller may still look at the last error; writing the report must not change it.
  ::SetLastError(error);
  return false;
}

Handle Win32Serial::Opened(Handle handle, const char* action, const std::string& path) {
  if (handle == kInvalidHandle) {
    FailNamed(action, path, ::GetLastError());
    return handle;
  }
  std::lock_guard lock(mutex_);
  names_[handle] = path;
  return handle;
}

bool Win32Serial::Closed(Handle handle) {
  if (!::CloseHandle(ToWin32(handle))) {
    return Fail("close", handle);
  }
  std::lock_guard lock(mutex_);
  names_.erase(handle);
  return true;
}

Handle Win32Serial::OpenPort(const std::string& path) {
  // Exclusive, for overlapped reads and writes and the comm-event wait.
  const Handle port = FromWin32(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
  return Opened(port, "open", path);
}

bool Win32Serial::ClosePort(Handle port) { return Closed(port); }

bool Win32Serial::GetCommState(Handle port, Dcb& dcb) {
  DCB state{};
  state.DCBlength = sizeof(DCB);
  if (!::GetCommState(ToWin32(port), &state)) {
    return Fail("read the line settings of", port);
  }
  dcb = FromWin32(state);
  return true;
}

bool Win32Serial::SetCommState(Handle port, const Dcb& dcb) {
  DCB state = ToWin32(dcb);
  return ::SetCommState(ToWin32(port), &state) != 0 || Fail("set the line settings of", port);
}

bool Win32Serial::GetCommTimeouts(Handle port, CommTimeouts& timeouts) {
  COMMTIMEOUTS values{};
  if (!::GetCommTimeouts(ToWin32(port), &values)) {
    return Fail("read the time-outs of", port);
  }
  timeouts.ReadIntervalTimeout = values.ReadIntervalTimeout;
  timeouts.ReadTotalTimeoutMultiplier = values.ReadTotalTimeoutMultiplier;
  timeouts.ReadTotalTimeoutConstant = values.ReadTotalTimeoutConstant;
  timeouts.WriteTotalTimeoutMultiplier = values.WriteTotalTimeoutMultiplier;
  timeouts.WriteTotalTimeoutConstant = values.WriteTotalTimeoutConstant;
  return true;
}

bool Win32Serial::SetCommTimeouts(Handle port, const CommTimeouts& timeouts) {
  COMMTIMEOUTS values{};
  values.ReadIntervalTimeout = timeouts.ReadIntervalTimeout;
  values.ReadTotalTimeoutMultiplier = timeouts.ReadTotalTimeoutMultiplier;
  values.ReadTotalTimeoutConstant = timeouts.ReadTotalTimeoutConstant;
  values.WriteTotalTimeoutMultiplier = timeouts.WriteTotalTimeoutMultiplier;
  values.WriteTotalTimeoutConstant = timeouts.WriteTotalTimeoutConstant;
  return ::SetCommTimeouts(ToWin32(port), &values) != 0 || Fail("set the time-outs of", port);
}

bool Win32Serial::SetCommMask(Handle port, varnet::DWORD mask) {
  return ::SetCommMask(ToWin32(port), mask) != 0 || Fail("set the event mask of", port);
}

bool Win32Serial::EscapeCommFunction(Handle port, EscapeFunction function) {
  return ::EscapeCommFunction(ToWin32(port), static_cast<::DWORD>(function)) != 0 ||
         Fail("move the lines of", port);
}

Handle Win32Serial::CreateEvent(bool manualReset, bool initialState) {
  HANDLE event = ::CreateEventA(nullptr, manualReset ? TRUE : FALSE, initialState ? TRUE : FALSE, nullptr);
  return event == nullptr ? kInvalidHandle : FromWin32(event);
}

bool Win32Serial::SetEvent(Handle event) { return ::SetEvent(ToWin32(event)) != 0; }

bool Win32Serial::CloseEvent(Handle event) { return ::CloseHandle(ToWin32(event)) != 0; }

bool Win32Serial::WaitCommEvent(Handle port, varnet::DWORD* mask, Overlapped* overlapped) {
  // The kernel completes the wait into the caller's own mask word and record, which keep the
  // Win32 layouts and stay alive until the wait has ended (the monitor's stop order sees to it).
  if (::WaitCommEvent(ToWin32(port), reinterpret_cast<LPDWORD>(mask),
                      reinterpret_cast<LPOVERLAPPED>(overlapped))) {
    return true;
  }
  // Pending is the usual answer of an overlapped wait, not a failure.
  const ::DWORD error = ::GetLastError();
  if (error != ERROR_IO_PENDING) {
    return Fail("wait for events on", port, error);
  }
  return false;
}

varnet::DWORD Win32Serial::WaitForStopOrPortEvent(Handle stopEvent, Handle portEvent) {
  const HANDLE events[2] = {ToWin32(stopEvent), ToWin32(portEvent)};
  ::DWORD result;
  {
    framework::IdleScope idle;
    // When both are signalled the lower index, the stop event, is reported.
    result = ::WaitForMultipleObjects(2, events, FALSE, INFINITE);
  }
  framework::Activity::Touch();
  if (result == WAIT_OBJECT_0 || result == WAIT_OBJECT_0 + 1) {
    return kWaitObject0 + (result - WAIT_OBJECT_0);
  }
  return kWaitFailed;
}

varnet::DWORD Win32Serial::WriteBlock(Handle port, std::span<const std::uint8_t> data, varnet::DWORD waitMs) {
  return Transfer(
      port, waitMs,
      [&](HANDLE file, OVERLAPPED* overlapped) {
        return ::WriteFile(file, data.data(), static_cast<::DWORD>(data.size()), nullptr, overlapped) != 0;
      },
      [&](::DWORD error) { Fail("write to", port, error); });
}

varnet::DWORD Win32Serial::ReadBlock(Handle port, std::span<std::uint8_t> buffer, varnet::DWORD waitMs) {
  return Transfer(
      port, waitMs,
      [&](HANDLE file, OVERLAPPED* overlapped) {
        return ::ReadFile(file, buffer.data(), static_cast<::DWORD>(buffer.size()), nullptr, overlapped) != 0;
      },
      [&](::DWORD error) { Fail("read from", port, error); });
}

Handle Win32Serial::OpenDriver(const std::string& path) {
  // Shared, synchronous: every request completes before DeviceIoControl returns.
  const Handle driver =
      FromWin32(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
  return Opened(driver, "open driver", path);
}

bool Win32Serial::CloseDriver(Handle driver) { return Closed(driver); }

bool Win32Serial::DeviceIoControl(Handle channel, varnet::DWORD code, const void* input,
                                  varnet::DWORD inputLength, void* output, varnet::DWORD outputLength,
                                  varnet::DWORD* returned) {
  ::DWORD count = 0;
  // METHOD_BUFFERED requests read the input before the answer is written, so the two may share
  // memory; the input pointer is not written through.
  const BOOL ok = ::DeviceIoControl(ToWin32(channel), code, const_cast<void*>(input), inputLength, output,
                                    outputLength, &count, nullptr);
  if (ok == 0) {
    const ::DWORD error = ::GetLastError();
    char request[40];
    std::snprintf(request, sizeof request, "driver request 0x%08lX on", static_cast<unsigned long>(code));
    Fail(request, channel, error);
  }
  if (returned != nullptr) {
    *returned = static_cast<varnet::DWORD>(count);
  }
  return ok != 0;
}

}  // namespace varnet::win32
