// The driver channel on Linux. The adapter's vendor driver does not exist here: on the NT-family
// path requests travel on the COM port's handle, and the three descriptor requests are answered
// from sysfs for the USB device behind the port's tty:
//   <root>/class/tty/<tty>/device, followed and walked up to the USB device's folder (the one that
//   holds `descriptors`); its `descriptors` file is the device descriptor followed by each
//   configuration's descriptor set; string descriptors are made from its `manufacturer`, `product`
//   and `serial` texts, for the indexes the device descriptor gives them.
// Every other request fails, as does opening a driver by name (there is no 9x family here).
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/driver_api.h"
#include "platform/failure_report.h"

namespace varnet::posix {

class SysfsDriver : public DriverApi {
 public:
  // The kernel's name of the tty behind a port handle ("ttyUSB0"); empty for anything else.
  using TtyNames = std::function<std::optional<std::string>(Handle)>;

  explicit SysfsDriver(TtyNames ttyNames, std::filesystem::path sysfsRoot = "/sys");

  Handle OpenDriver(const std::string& path) override;
  bool CloseDriver(Handle driver) override;
  bool DeviceIoControl(Handle channel, DWORD code, const void* input, DWORD inputLength, void* output,
                       DWORD outputLength, DWORD* returned) override;

  // Where the reasons behind failed requests go; set before the first request.
  void SetFailureReport(FailureReport report) { report_ = std::move(report); }

 private:
  bool Fail(DWORD code, const std::string& tty, const std::string& reason) const;

  TtyNames ttyNames_;
  FailureReport report_;
  std::filesystem::path root_;
};

}  // namespace varnet::posix
