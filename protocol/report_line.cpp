#include "protocol/report_line.h"

#include "runtime/format.h"

namespace varnet::driver {

std::string ToText(const ReportLine& line) {
  if (!line.value) {
    return line.text;
  }
  return runtime::Format("%s: 0x%02X", line.text.c_str(), static_cast<unsigned>(*line.value));
}

}  // namespace varnet::driver
