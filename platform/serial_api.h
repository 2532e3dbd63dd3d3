// The serial port as the program uses it: the Win32 comm API, reduced to what the dialog relies on.
// Win32, POSIX and the virtual bench each implement it in a folder of their own.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/win_types.h"

namespace varnet {

class SerialApi {
 public:
  virtual ~SerialApi() = default;

  // Opens the device path ("\\.\COM3") exclusively, for overlapped reads and writes.
  // Returns kInvalidHandle when there is no such port or it is in use.
  virtual Handle OpenPort(const std::string& path) = 0;

  // Closes a port handle. A pending comm-event wait on it ends with no event bits.
  // Closing succeeds even when the adapter has gone away.
  virtual bool ClosePort(Handle port) = 0;

  // GetCommState / SetCommState: the whole record; true on success. SetCommState applies the
  // whole record, DTR and RTS control included.
  virtual bool GetCommState(Handle port, Dcb& dcb) = 0;
  virtual bool SetCommState(Handle port, const Dcb& dcb) = 0;

  virtual bool GetCommTimeouts(Handle port, CommTimeouts& timeouts) = 0;
  virtual bool SetCommTimeouts(Handle port, const CommTimeouts& timeouts) = 0;

  // SetCommMask: which comm events complete a wait (CommEvent bits).
  virtual bool SetCommMask(Handle port, DWORD mask) = 0;

  // EscapeCommFunction: SETDTR, CLRDTR, SETRTS, CLRRTS ...
  virtual bool EscapeCommFunction(Handle port, EscapeFunction function) = 0;

  // Events, as CreateEventA (unnamed, default security), SetEvent and CloseHandle.
  virtual Handle CreateEvent(bool manualReset, bool initialState) = 0;
  virtual bool SetEvent(Handle event) = 0;
  virtual bool CloseEvent(Handle event) = 0;

  // WaitCommEvent with an overlapped record: starts a wait that, when a masked event happens,
  // stores its bits in *mask and signals overlapped->hEvent. Events that happened while no wait
  // was pending complete the new wait at once. On a closed or dead handle it fails at once and
  // starts nothing. *mask and *overlapped must stay valid until the wait has completed or the
  // handle has been closed.
  virtual bool WaitCommEvent(Handle port, DWORD* mask, Overlapped* overlapped) = 0;

  // WaitForMultipleObjects on {stopEvent, portEvent}, wake on either, no time limit:
  // kWaitObject0 when the stop event is signalled (it wins when both are), kWaitObject0 + 1 for
  // the port event, anything else for a failed wait. Both events are auto-reset: the wait
  // consumes the signal it reports.
  // The calling thread counts as not busy (framework::Activity::EndBusy) while it is blocked
  // here and as busy again (BeginBusy) from the moment it takes a signal. A layer that can be
  // observed for quietness (the virtual bench) does both under the same lock under which the
  // signal is set and taken, so that an observer never sees the signal gone and the thread not
  // yet busy.
  virtual DWORD WaitForStopOrPortEvent(Handle stopEvent, Handle portEvent) = 0;

  // One overlapped WriteFile of all of data: start it, wait at most waitMs for its event, then
  // take the overlapped result with wait = TRUE. Returns the count of bytes transferred (0 on a
  // closed or dead handle). How long the transfer may run is the port's time-outs' business.
  virtual DWORD WriteBlock(Handle port, std::span<const std::uint8_t> data, DWORD waitMs) = 0;

  // The same for one ReadFile of up to buffer.size() bytes.
  virtual DWORD ReadBlock(Handle port, std::span<std::uint8_t> buffer, DWORD waitMs) = 0;
};

}  // namespace varnet
