#include "programs/varnet-script/system_platform.h"

namespace varnet::programs {
namespace {

FailureReport& Failures() {
  static FailureReport report;
  return report;
}

}  // namespace

void SetSystemFailureReport(FailureReport report) { Failures() = std::move(report); }

const FailureReport& SystemFailureReport() { return Failures(); }

}  // namespace varnet::programs
