// A platform with no adapter at all: every port and driver open fails. For tests of the dialog
// that need no device.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace varnet::testing {

struct NullPlatform {
  explicit NullPlatform(DWORD version = 0x1DB10106u);
  ~NullPlatform();
  NullPlatform(const NullPlatform&) = delete;
  NullPlatform& operator=(const NullPlatform&) = delete;

  struct Parts;
  std::unique_ptr<Parts> parts;
  Platform services;
};

}  // namespace varnet::testing
