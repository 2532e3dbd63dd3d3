#include "platform_virtual/virtual_bench.h"
