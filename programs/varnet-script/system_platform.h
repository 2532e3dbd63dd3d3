// `bench system` for this build: the machine's own serial ports and driver channel.
#pragma once

#include <iosfwd>
#include <memory>

#include "script/script_platform.h"

namespace varnet::programs {

std::unique_ptr<script::ScriptPlatform> MakeSystemPlatform(const script::Script& script, DriveCFolder& files,
                                                           std::ostream& out);

}  // namespace varnet::programs
