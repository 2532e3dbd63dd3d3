// The descriptors the virtual adapter reports until the bench replaces them.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

namespace varnet::bench {

std::vector<std::uint8_t> DefaultDeviceDescriptor();
// The configuration descriptor with its interface, endpoints and functional descriptors.
std::vector<std::uint8_t> DefaultConfigurationSet();
// String descriptors 0 (the language list) to 3.
std::map<int, std::vector<std::uint8_t>> DefaultStringDescriptors();

}  // namespace varnet::bench
