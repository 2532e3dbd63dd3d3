// The set of services a platform layer gives the dialog.
#pragma once

#include "platform/driver_api.h"
#include "platform/serial_api.h"
#include "platform/system_api.h"

namespace varnet {

struct Platform {
  SerialApi& serial;
  DriverApi& driver;
  SystemInfo& system;
  Clock& clock;
  Files& files;
  Shell& shell;
};

}  // namespace varnet
