// libFuzzer target: the configuration report over any answer the driver may give. Built with
// ASan, so a field read outside the answer stops the run.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "protocol/configuration_walk.h"
#include "protocol/report_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bool lastIsSeparator = false;
  varnet::driver::WalkConfiguration(
      std::span<const std::uint8_t>(data, size), [&](const varnet::driver::ReportLineView& line) {
        lastIsSeparator = !line.value && line.text == varnet::driver::kSeparator;
        if (line.value && (*line.value < 0 || *line.value > 0xFFFF)) {
          std::abort();
        }
      });
  // Every report, however broken the set, ends with its separator.
  if (!lastIsSeparator) {
    std::abort();
  }
  return 0;
}
