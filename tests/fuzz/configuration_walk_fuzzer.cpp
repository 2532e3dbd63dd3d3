// libFuzzer target: the configuration report over any answer the driver may give. Built with
// ASan, so a field read outside the answer stops the run; the sink checks the report's shape line
// by line without formatting any of them.
//
// The counts of a broken set can call for 255 interfaces of 255 endpoints: 457,990 lines from
// 18 bytes, some 60 ms each under the sanitizers, and the fuzzer reaches such sets in every run,
// which held it to a few hundred inputs a second. Beyond the lines that walk the input's own
// bytes, a report only repeats descriptors of length 0 at the same place, so the sink stops the
// walk after kLineBudget lines: that covers every report that reads each descriptor at a new
// place within the longest input. The whole report of such a set is checked by the unit tests.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "protocol/configuration_walk.h"
#include "protocol/report_line.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using varnet::driver::ReportLineView;

// The fuzzer's -max_len is 2,048 bytes; an interface takes 11 lines.
constexpr long kLineBudget = 2'048 * 11 + 64;

struct BudgetSpent {};

using varnet::fuzz::Check;

// The report's grammar: configuration, then each interface with its numbered endpoints, then the
// functional block, each heading followed by its fixed number of values; the separator last.
class ShapeCheck {
 public:
  void operator()(const ReportLineView& line) {
    Check(!ended_);
    if (++lines_ > kLineBudget) {
      throw BudgetSpent{};
    }
    if (line.value) {
      Value(line.text, *line.value);
    } else {
      Text(line.text);
    }
  }

  bool Ended() const { return ended_; }

 private:
  void Value(std::string_view name, std::int32_t value) {
    Check(valuesDue_ > 0);
    --valuesDue_;
    Check(value >= 0 && value <= 0xFFFF);
    if (value > 0xFF) {
      Check(name == "wTotalLength" || name == "wMaxPacketSize" || name == "bcdCDC");
    }
    if (name == "bNumInterfaces") {
      interfacesLeft_ = value;
    } else if (name == "bNumEndpoints") {
      endpointsLeft_ = value;
    }
  }

  void Text(std::string_view text) {
    Check(valuesDue_ == 0);
    constexpr std::string_view kEndpointStart = "<< ENDPOINT ";
    constexpr std::string_view kEndpointEnd = " DESCRIPTOR >>";
    if (text == varnet::driver::kSeparator) {
      Check(!interfaceDue_);
      ended_ = true;
    } else if (lines_ == 1) {
      Check(text == "<< CONFIGURATION DESCRIPTOR >>");
      valuesDue_ = 8;
    } else if (text.empty()) {
      Check(!functional_ && interfacesLeft_ > 0 && endpointsLeft_ == 0);
      --interfacesLeft_;
      interfaceDue_ = true;
    } else if (text == "<< INTERFACE DESCRIPTOR >>") {
      Check(interfaceDue_);
      interfaceDue_ = false;
      nextEndpoint_ = 0;
      valuesDue_ = 9;
    } else if (text == "<< FUNCTIONAL DESCRIPTOR >>") {
      Check(!functional_ && !interfaceDue_ && interfacesLeft_ == 0 && endpointsLeft_ == 0);
      functional_ = true;
      valuesDue_ = 18;
    } else {
      Check(text.starts_with(kEndpointStart) && text.ends_with(kEndpointEnd) && !interfaceDue_);
      const std::string_view digits =
          text.substr(kEndpointStart.size(), text.size() - kEndpointStart.size() - kEndpointEnd.size());
      int number = -1;
      const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
      Check(error == std::errc() && end == digits.data() + digits.size());
      Check(number == nextEndpoint_ && endpointsLeft_ > 0);
      ++nextEndpoint_;
      --endpointsLeft_;
      valuesDue_ = 6;
    }
  }

  long lines_ = 0;
  int valuesDue_ = 0;
  int interfacesLeft_ = 0;
  int endpointsLeft_ = 0;
  int nextEndpoint_ = 0;
  bool interfaceDue_ = false;
  bool functional_ = false;
  bool ended_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ShapeCheck shape;
  try {
    varnet::driver::WalkConfiguration(std::span<const std::uint8_t>(data, size),
                                      [&shape](const ReportLineView& line) { shape(line); });
  } catch (const BudgetSpent&) {
    return 0;
  }
  // Every report, however broken the set, ends with its separator.
  Check(shape.Ended());
  return 0;
}
