// `bench system` for this build: the machine's own serial ports and driver channel.
#pragma once

#include <iosfwd>
#include <memory>

#include "platform/failure_report.h"
#include "script/script_platform.h"

namespace varnet::programs {

// Where the machine's own ports and driver say why a call failed; set before the script runs.
void SetSystemFailureReport(FailureReport report);
const FailureReport& SystemFailureReport();

std::unique_ptr<script::ScriptPlatform> MakeSystemPlatform(const script::Script& script, DriveCFolder& files,
                                                           std::ostream& out);

}  // namespace varnet::programs
