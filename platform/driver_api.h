// The driver channel: device-control requests to the adapter's vendor driver.
// On the NT family requests travel on the serial port's own handle (from SerialApi::OpenPort);
// on the 9x family on a handle opened here by the driver's device name.
#pragma once

#include <string>

#include "platform/win_types.h"

namespace varnet {

class DriverApi {
 public:
  virtual ~DriverApi() = default;

  // CreateFileA on the device path ("\\.\RARUDA-1"), shared read and write, synchronous.
  // Returns kInvalidHandle on failure.
  virtual Handle OpenDriver(const std::string& path) = 0;

  // CloseHandle on a handle from OpenDriver.
  virtual bool CloseDriver(Handle driver) = 0;

  // DeviceIoControl with no OVERLAPPED record: completes before it returns. The input and the
  // output may be the same memory (METHOD_BUFFERED: the input is read before the answer is
  // written). A null pointer goes with a length of 0. *returned receives the count of bytes
  // written to the output. Returns true on success. Works on a port handle from
  // SerialApi::OpenPort and on a handle from OpenDriver; fails on anything else.
  virtual bool DeviceIoControl(Handle channel, DWORD code, const void* input, DWORD inputLength, void* output,
                               DWORD outputLength, DWORD* returned) = 0;
};

}  // namespace varnet
