// The programs' shared command-line manners: --help and --version, options with values, and
// status 2 with a message for what is not understood.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "command_line/failure_output.h"
#include "command_line/program_options.h"
#include "varnet_version.h"

namespace varnet::command_line {
namespace {

const CommandLineSyntax kSyntax{
    .program = "prog",
    .arguments = "FILE",
    .summary = "Does things.",
    .options = {{"--host", "NAME", "the host"}, {"--ports", "", "the ports"}},
    .maxArguments = 1,
};

struct Outcome {
  ParsedCommandLine parsed;
  std::string out;
  std::string err;
};

Outcome Parse(const CommandLineSyntax& syntax, std::vector<std::string> args) {
  args.insert(args.begin(), "prog");
  std::vector<char*> argv;
  for (std::string& arg : args) {
    argv.push_back(arg.data());
  }
  std::ostringstream out;
  std::ostringstream err;
  Outcome outcome{ParseCommandLine(syntax, argv, out, err), "", ""};
  outcome.out = out.str();
  outcome.err = err.str();
  return outcome;
}

TEST(CommandLine, HelpAndVersionEndAtOnceWithStatus0) {
  const Outcome help = Parse(kSyntax, {"--host", "qt", "--help", "--bogus"});
  EXPECT_EQ(help.parsed.exitStatus, 0);
  EXPECT_EQ(help.out.rfind("usage: prog [OPTION]... FILE\nDoes things.\n", 0), 0u) << help.out;
  EXPECT_NE(help.out.find("  --host NAME         the host\n"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find("  --version"), std::string::npos);
  const Outcome version = Parse(kSyntax, {"--version"});
  EXPECT_EQ(version.parsed.exitStatus, 0);
  EXPECT_EQ(version.out, "prog " VARNET_VERSION_TEXT "\n");
  EXPECT_EQ(std::string(VARNET_VERSION_TEXT), "3.1.4.5");
}

TEST(CommandLine, OptionsAndArguments) {
  struct Case {
    std::vector<std::string> args;
    std::string host;  // "-" for not given
    std::vector<std::string> arguments;
  } const cases[] = {
      {{"--host", "qt", "a.bench"}, "qt", {"a.bench"}},
      {{"--host=qt", "a.bench"}, "qt", {"a.bench"}},
      {{"-"}, "-", {"-"}},  // standard input
      {{"--", "--host"}, "-", {"--host"}},
      {{}, "-", {}},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Parse(kSyntax, c.args);
    EXPECT_FALSE(outcome.parsed.exitStatus) << outcome.err;
    const auto host = outcome.parsed.values.find("--host");
    EXPECT_EQ(host == outcome.parsed.values.end() ? "-" : host->second, c.host);
    EXPECT_EQ(outcome.parsed.arguments, c.arguments);
  }
}

TEST(CommandLine, WhatIsNotUnderstoodIsStatus2WithAMessage) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  } const cases[] = {
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"-x"}, "unknown option '-x'"},
      {{"--host"}, "option '--host' needs a value (NAME)"},
      {{"--ports=1"}, "option '--ports' takes no value"},
      {{"a.bench", "b.bench"}, "unexpected argument 'b.bench'"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Parse(kSyntax, c.args);
    EXPECT_EQ(outcome.parsed.exitStatus, 2) << c.message;
    EXPECT_EQ(outcome.err, "prog: " + c.message + "\nTry 'prog --help' for more information.\n");
    EXPECT_EQ(outcome.out, "");
  }
}

TEST(CommandLine, AToolkitsSingleDashOptionsArePassedOnWithTheirValues) {
  CommandLineSyntax syntax = kSyntax;
  syntax.passSingleDash = true;
  syntax.maxArguments = 0;
  const Outcome outcome = Parse(syntax, {"-platform", "offscreen", "-reverse"});
  EXPECT_FALSE(outcome.parsed.exitStatus) << outcome.err;
  EXPECT_EQ(outcome.parsed.passedOn,
            (std::vector<std::string>{"prog", "-platform", "offscreen", "-reverse"}));
  EXPECT_EQ(Parse(syntax, {"--nope"}).parsed.exitStatus, 2);
  EXPECT_EQ(Parse(syntax, {"stray"}).parsed.exitStatus, 2);
}

TEST(FailureOutput, LinesGoOnTheStreamAfterTheProgramsName) {
  std::ostringstream err;
  const FailureReport report = FailuresOn(err, "varnet-test");
  report("open /dev/ttyUSB0 (COM1): Permission denied");
  EXPECT_EQ(err.str(), "varnet-test: open /dev/ttyUSB0 (COM1): Permission denied\n");
}

TEST(FailureOutput, ALogFileIsAppendedToWithTheTime) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("varnet-failure-log-" + std::to_string(::getpid()) + ".log");
  std::filesystem::remove(path);
  std::ofstream(path) << "kept\n";
  {
    const std::optional<FailureReport> report = FailuresToLog(path.string(), "Test.exe");
    ASSERT_TRUE(report);
    (*report)("open \\\\.\\COM1: Access is denied. (error 5)");
  }
  std::ifstream stream(path);
  std::string first;
  std::string second;
  std::getline(stream, first);
  std::getline(stream, second);
  EXPECT_EQ(first, "kept");
  EXPECT_TRUE(std::regex_match(
      second,
      std::regex(
          R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d Test\.exe: open \\\\\.\\COM1: Access is denied\. \(error 5\))")))
      << second;
  std::filesystem::remove(path);
  EXPECT_FALSE(FailuresToLog((path / "no-such-folder" / "x.log").string(), "Test.exe"));
}

}  // namespace
}  // namespace varnet::command_line
