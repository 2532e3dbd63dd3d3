// The loop check's judgement of one echo: the block it wrote against what came back, and the
// lines that report a difference.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace varnet {

struct EchoReport {
  bool failed = false;
  std::vector<std::string> responses;  // the short read and every differing byte
  std::vector<std::string> results;    // the received bytes around the first difference
};

// `echo` is the read buffer, as long as `sent`; its bytes beyond `received` are still the
// zeros it was cleared to, and are compared as well.
EchoReport CompareEcho(std::span<const std::uint8_t> sent, std::span<const std::uint8_t> echo,
                       std::size_t received);

}  // namespace varnet
