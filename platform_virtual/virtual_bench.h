// The virtual bench: a simulated USB-to-serial adapter on COM3 with its vendor driver.
#pragma once

#include "platform/driver_api.h"
#include "platform/serial_api.h"
#include "platform_virtual/bench_control.h"

namespace varnet::bench {

class VirtualBench;

}  // namespace varnet::bench
