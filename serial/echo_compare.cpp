#include "serial/echo_compare.h"

#include <algorithm>
#include <optional>

#include "runtime/format.h"

namespace varnet {
namespace {
// How many received bytes are shown before the first mismatch, and after it.
constexpr std::size_t kDumpBefore = 5;
constexpr std::size_t kDumpAfter = 4;
}  // namespace

EchoReport CompareEcho(std::span<const std::uint8_t> sent, std::span<const std::uint8_t> echo,
                       std::size_t received) {
  EchoReport report;
  const std::size_t length = sent.size();
  std::optional<std::size_t> firstMismatch;
  if (received != length) {
    report.responses.push_back(runtime::Format("Read FAILED! expected read %ld bytes, only read %ld bytes",
                                               static_cast<long>(length), static_cast<long>(received)));
    report.failed = true;
  }
  // Every position is compared; bytes beyond a short read are still the zeros put there.
  for (std::size_t k = 0; k < length; ++k) {
    if (echo[k] != sent[k]) {
      report.responses.push_back(runtime::Format(
          "COMPARE FAILED! expected: 0x%02X - received: 0x%02X - count: %d", static_cast<unsigned>(sent[k]),
          static_cast<unsigned>(echo[k]), static_cast<int>(k)));
      report.failed = true;
      if (!firstMismatch) {
        firstMismatch = k;
      }
    }
  }
  if (report.failed) {
    const std::size_t first = firstMismatch.value_or(0);
    const std::size_t from = first > kDumpBefore ? first - kDumpBefore : 0;
    const std::size_t to = length == 0 ? 0 : std::min(first + kDumpAfter, length - 1);
    for (std::size_t p = from; length != 0 && p <= to; ++p) {
      report.results.push_back(
          runtime::Format("Data%3d: 0x%02X", static_cast<int>(p), static_cast<unsigned>(echo[p])));
    }
  }
  return report;
}

}  // namespace varnet
