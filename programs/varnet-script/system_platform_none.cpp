// A build with no platform layer for the machine's own ports: `bench system` is an error.
#include "programs/varnet-script/system_platform.h"

namespace varnet::programs {

std::unique_ptr<script::ScriptPlatform> MakeSystemPlatform(const script::Script& /*script*/,
                                                           DriveCFolder& /*files*/, std::ostream& /*out*/) {
  return nullptr;
}

}  // namespace varnet::programs
