// One line of a descriptor report: a fixed text, or a named value that the dialog shows as
// "%s: 0x%02X". Kept apart from the dialog so that the reports can be built and checked as
// plain data.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnet::driver {

inline constexpr std::string_view kSeparator = "------------------------------------------";

struct ReportLine {
  std::string text;                   // the fixed text, or the value's name
  std::optional<std::int32_t> value;  // set for a value line

  static ReportLine Text(std::string line) { return {std::move(line), std::nullopt}; }
  static ReportLine Value(std::string_view name, std::int32_t v) { return {std::string(name), v}; }

  bool operator==(const ReportLine&) const = default;
};

// The line as the Result list shows it.
std::string ToText(const ReportLine& line);

}  // namespace varnet::driver
