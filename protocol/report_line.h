// One line of a descriptor report: a fixed text, or a named value that the dialog shows as
// "%s: 0x%02X". Kept apart from the dialog so that the reports can be built and checked as
// plain data.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace varnet::driver {

inline constexpr std::string_view kSeparator = "------------------------------------------";

// A line as a report hands it over; the text lives until the receiver returns.
struct ReportLineView {
  std::string_view text;              // the fixed text, or the value's name
  std::optional<std::int32_t> value;  // set for a value line
};

// Receives a report's lines one by one, in order. A report may run to several hundred thousand
// lines (the counts of a broken set allow 255 interfaces of 255 endpoints each), so the lines are
// handed over rather than gathered.
using ReportSink = std::function<void(const ReportLineView&)>;

// A line kept.
struct ReportLine {
  std::string text;
  std::optional<std::int32_t> value;

  static ReportLine Text(std::string_view line) { return {std::string(line), std::nullopt}; }
  static ReportLine Value(std::string_view name, std::int32_t v) { return {std::string(name), v}; }

  bool operator==(const ReportLine&) const = default;
};

// The line as the Result list shows it.
std::string ToText(const ReportLine& line);

}  // namespace varnet::driver
