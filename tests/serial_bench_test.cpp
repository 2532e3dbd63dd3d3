// Serial cases on the virtual bench that a golden script cannot hold: many Open/Close cycles,
// and a loop check whose read-back count depends on how fast the machine runs.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "host_headless/headless_host.h"
#include "script/script_runner.h"
#include "tests/support/port_cycle_lines.h"

namespace {

struct ScriptRun {
  int status = -1;
  std::vector<std::string> responses;
  std::vector<std::string> results;
  std::string err;
};

// Runs a bench script on the headless host, drive c: in a folder of the test's own.
ScriptRun RunBenchScript(const std::string& body) {
  // Test processes run side by side: each script has a drive c: of its own, removed after it.
  const std::filesystem::path driveC = std::filesystem::path(::testing::TempDir()) /
                                       ("serial_bench_drive_c_" + std::to_string(std::random_device{}()));
  const std::string script = "drive-c " + driveC.string() + "\n" + body;
  std::ostringstream out;
  std::ostringstream err;
  ScriptRun run;
  run.status = varnet::script::RunScriptText(
      "serial_bench_test", script, out, err,
      [](varnet::framework::CWinApp& app) -> std::unique_ptr<varnet::framework::ScriptHost> {
        return std::make_unique<varnet::headless::HeadlessHost>(app);
      });
  run.err = err.str();
  std::error_code removeError;
  std::filesystem::remove_all(driveC, removeError);
  std::istringstream lines(out.str());
  std::vector<std::string>* list = nullptr;
  for (std::string line; std::getline(lines, line);) {
    if (line == "-- Command Response") {
      list = &run.responses;
    } else if (line == "-- Result") {
      list = &run.results;
    } else if (list != nullptr) {
      list->push_back(line);
    }
  }
  return run;
}

TEST(SerialBench, EveryOpenCloseCycleOnTheLoopbackPlugListsTheSameLines) {
  constexpr int kCycles = 200;
  std::string script;
  for (int i = 0; i < kCycles; ++i) {
    script += "click 1003\nclick 1006\n";
  }
  const ScriptRun run = RunBenchScript(script);
  ASSERT_EQ(run.status, 0) << run.err;

  // The monitor's first wait is armed before Open goes on, and its lines are handed over
  // synchronously, so the line events fall in the same places every time.
  std::vector<std::string> cycle = varnet::testing::kOpenLines;
  cycle.insert(cycle.end(), varnet::testing::kCloseLines.begin(), varnet::testing::kCloseLines.end());
  ASSERT_EQ(run.responses.size(), cycle.size() * kCycles);
  for (int i = 0; i < kCycles; ++i) {
    for (std::size_t k = 0; k < cycle.size(); ++k) {
      ASSERT_EQ(run.responses[i * cycle.size() + k], cycle[k]) << "cycle " << i << ", line " << k;
    }
  }
  EXPECT_TRUE(run.results.empty());
}

TEST(SerialBench, LoopCheckAt9600BaudFailsOnAShortReadBack) {
  // 512 bytes take about 533 ms at 9600 baud; the read-back comes about 100 ms after the write
  // has completed (about 267 ms, once the last byte is in the 256-byte FIFO), so roughly 350
  // bytes are back by then. How many exactly depends on the machine's timing.
  const ScriptRun run = RunBenchScript(
      "click 1003\n"
      "select 1012 11\n"
      "click 1010\n"
      "click 1048\n");
  ASSERT_EQ(run.status, 0) << run.err;

  const std::regex shortRead(R"(Read FAILED! expected read 512 bytes, only read (\d+) bytes)");
  auto line = run.responses.begin();
  std::smatch match;
  while (line != run.responses.end() && !std::regex_match(*line, match, shortRead)) {
    ++line;
  }
  ASSERT_NE(line, run.responses.end());
  const int received = std::stoi(match[1]);
  EXPECT_GE(received, 256);
  EXPECT_LT(received, 512);

  // Everything before it: the open, the rate, the write and "Comparing data...".
  ASSERT_GE(line - run.responses.begin(), 2);
  EXPECT_EQ(*(line - 1), "Comparing data...");
  EXPECT_EQ(*(line - 2), "WRITE 512 bytes Successfully!");

  // Then one mismatch line for every position not read back (none of them expects 0x00),
  // and nothing after them but the end line.
  for (int k = received; k < 512; ++k) {
    ++line;
    ASSERT_NE(line, run.responses.end());
    char expected[96];
    std::snprintf(expected, sizeof expected, "COMPARE FAILED! expected: 0x%02X - received: 0x00 - count: %d",
                  k & 0xFF, k);
    ASSERT_EQ(*line, expected);
  }
  ++line;
  ASSERT_NE(line, run.responses.end());
  EXPECT_EQ(*line, "Compare data Finished!");
  EXPECT_EQ(line + 1, run.responses.end());

  // The dump: five received bytes before the first mismatch, the mismatch and four after it.
  std::vector<std::string> dump;
  for (int p = received - 5; p <= received + 4; ++p) {
    char expected[32];
    std::snprintf(expected, sizeof expected, "Data%3d: 0x%02X", p, p < received ? p & 0xFF : 0);
    dump.push_back(expected);
  }
  EXPECT_EQ(run.results, dump);
}

}  // namespace
