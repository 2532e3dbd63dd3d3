// The command-line manners every program shares: --help and --version, long options with or
// without a value, and exit status 2 with a clear message for anything not understood.
#pragma once

#include <iosfwd>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varnet::command_line {

struct OptionSyntax {
  std::string_view name;       // "--host"
  std::string_view valueName;  // "NAME"; empty for a switch without a value
  std::string_view help;
};

struct CommandLineSyntax {
  std::string_view program = {};    // "varnet-script", as messages begin
  std::string_view arguments = {};  // "FILE" in the usage line; empty when the program takes none
  std::string_view summary = {};    // one line under the usage line
  std::vector<OptionSyntax> options = {};
  std::size_t minArguments = 0;
  std::size_t maxArguments = 0;
  // Arguments that begin with a single "-" (and the one after each) are left for a toolkit that
  // takes its own options (Qt's -platform NAME) instead of being refused.
  bool passSingleDash = false;
  std::string_view epilogue = {};  // more text after the option list, may be empty
};

struct ParsedCommandLine {
  // Set when the program is to end at once with this status: after --help or --version (0), or
  // after a message about what was not understood (2).
  std::optional<int> exitStatus;
  std::map<std::string, std::string, std::less<>> values;  // "--host" -> "qt"; "" for a switch
  std::vector<std::string> arguments;
  std::vector<std::string> passedOn;  // argv[0] and what passSingleDash left, in order

  bool Has(std::string_view option) const { return values.find(option) != values.end(); }
};

// "-" alone is an argument (standard input), and "--" ends the options.
ParsedCommandLine ParseCommandLine(const CommandLineSyntax& syntax, std::span<char* const> argv,
                                   std::ostream& out, std::ostream& err);

// The message and status for a command line the program found wrong after parsing it.
int UsageError(const CommandLineSyntax& syntax, std::string_view message, std::ostream& err);

std::string HelpText(const CommandLineSyntax& syntax);
std::string VersionText(const CommandLineSyntax& syntax);

}  // namespace varnet::command_line
