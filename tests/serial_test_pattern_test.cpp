#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "protocol/test_pattern.h"
#include "runtime/crt_rand.h"
#include "serial/flow_masks.h"

namespace {

using varnet::FillTestPattern;
using varnet::PatternChoice;

TEST(TestPattern, PositionsCountUpAndWrap) {
  std::vector<std::uint8_t> block(300);
  FillTestPattern(block, PatternChoice{});
  for (std::size_t i = 0; i < block.size(); ++i) {
    ASSERT_EQ(block[i], i & 0xFF) << i;
  }
  EXPECT_EQ(block[299], 0x2B);
}

TEST(TestPattern, FixedByteEverywhere) {
  std::vector<std::uint8_t> block(40);
  FillTestPattern(block, PatternChoice{false, true, 0xA7});
  EXPECT_EQ(block, std::vector<std::uint8_t>(40, 0xA7));
}

TEST(TestPattern, RandomFollowsTheWindowsRuntimeAndWinsOverFix) {
  varnet::runtime::ResetRand();
  std::vector<std::uint8_t> block(10);
  FillTestPattern(block, PatternChoice{true, true, 0x00});
  // rand() after start: 41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464.
  const std::vector<std::uint8_t> expected = {0x29, 0x23, 0xBE, 0x84, 0xE1, 0x6C, 0xD6, 0xAE, 0x52, 0x90};
  EXPECT_EQ(block, expected);
  varnet::runtime::ResetRand();
}

TEST(TestPattern, RandomNeverSendsXonOrXoffAndSkipsOnlyThose) {
  varnet::runtime::ResetRand();
  std::vector<std::uint8_t> drawn;
  while (drawn.size() < 20000) {
    drawn.push_back(static_cast<std::uint8_t>(varnet::runtime::Rand() & 0xFF));
  }
  std::vector<std::uint8_t> expected;
  for (std::uint8_t value : drawn) {
    if (value != 0x11 && value != 0x13) {
      expected.push_back(value);
    }
  }
  ASSERT_LT(expected.size(), drawn.size());  // the stretch holds draws that must be redrawn

  varnet::runtime::ResetRand();
  std::vector<std::uint8_t> block(expected.size());
  FillTestPattern(block, PatternChoice{true, false, 0});
  EXPECT_EQ(block, expected);
  varnet::runtime::ResetRand();
}

struct FlowCase {
  const char* name;
  varnet::FlowMasks masks;
  bool ctsFlow, dsrFlow, outX, inX;
  varnet::DWORD dtrControl, rtsControl;
};

TEST(FlowMasks, SetTheSixFlowFieldsAndNothingElse) {
  using namespace varnet;
  const FlowCase cases[] = {
      {"hardware", kHardwareFlow, true, true, false, false, kControlHandshake, kControlHandshake},
      {"software", kSoftwareFlow, false, false, true, true, kControlDisable, kControlDisable},
      {"none", kNoFlow, false, false, false, false, kControlDisable, kControlDisable},
  };
  const DWORD flowFields = DcbFlag::kOutxCtsFlow | DcbFlag::kOutxDsrFlow | DcbFlag::kDtrControlMask |
                           DcbFlag::kOutX | DcbFlag::kInX | DcbFlag::kRtsControlMask;
  for (const FlowCase& c : cases) {
    for (DWORD start : {DWORD{0}, DWORD{0xFFFFFFFF}, DWORD{0x1011}, DWORD{0x20A1}}) {
      Dcb dcb;
      dcb.flags = ApplyFlowMasks(start, c.masks);
      SCOPED_TRACE(testing::Message() << c.name << " from 0x" << std::hex << start);
      EXPECT_EQ((dcb.flags & DcbFlag::kOutxCtsFlow) != 0, c.ctsFlow);
      EXPECT_EQ((dcb.flags & DcbFlag::kOutxDsrFlow) != 0, c.dsrFlow);
      EXPECT_EQ((dcb.flags & DcbFlag::kOutX) != 0, c.outX);
      EXPECT_EQ((dcb.flags & DcbFlag::kInX) != 0, c.inX);
      EXPECT_EQ(DtrControl(dcb), c.dtrControl);
      EXPECT_EQ(RtsControl(dcb), c.rtsControl);
      EXPECT_EQ(dcb.flags & ~flowFields, start & ~flowFields);
    }
  }
}

}  // namespace
