// The configuration report: the configuration descriptor, each interface with its endpoints and
// the class-specific functional block, as lines, from the bytes of the whole configuration set.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "protocol/report_line.h"

namespace varnet::driver {

// The set's own counts (bNumInterfaces, each bNumEndpoints) and lengths (each bLength) drive the
// walk, as the device reports them; bDescriptorType is never looked at. Every field read lies
// inside `set`: a descriptor is printed whole or not at all, and the first one that the counts
// call for but that does not fit in the bytes left (or a set shorter than the 9-byte
// configuration descriptor) ends the walk. The last line is always the separator.
void WalkConfiguration(std::span<const std::uint8_t> set, const ReportSink& sink);

// The same lines, kept.
std::vector<ReportLine> ConfigurationReport(std::span<const std::uint8_t> set);

}  // namespace varnet::driver
