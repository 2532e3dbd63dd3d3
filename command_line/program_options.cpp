#include "command_line/program_options.h"

#include <ostream>

#include "varnet_version.h"

namespace varnet::command_line {
namespace {

const OptionSyntax kHelp{"--help", "", "show this text and exit"};
const OptionSyntax kVersion{"--version", "", "show the version and exit"};

const OptionSyntax* Find(const CommandLineSyntax& syntax, std::string_view name) {
  for (const OptionSyntax& option : syntax.options) {
    if (option.name == name) {
      return &option;
    }
  }
  return nullptr;
}

}  // namespace

std::string HelpText(const CommandLineSyntax& syntax) {
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on a short literal + std::string.
  std::string text = "usage: ";
  text += syntax.program;
  text += " [OPTION]...";
  if (!syntax.arguments.empty()) {
    text += ' ';
    text += syntax.arguments;
  }
  text += '\n';
  text += syntax.summary;
  text += "\n\nOptions:\n";
  std::vector<const OptionSyntax*> all;
  for (const OptionSyntax& option : syntax.options) {
    all.push_back(&option);
  }
  all.push_back(&kHelp);
  all.push_back(&kVersion);
  for (const OptionSyntax* option : all) {
    std::string left = "  ";
    left += option->name;
    if (!option->valueName.empty()) {
      left += ' ';
      left += option->valueName;
    }
    left.resize(std::max<std::size_t>(left.size() + 2, 22), ' ');
    text += left;
    text += option->help;
    text += '\n';
  }
  if (!syntax.epilogue.empty()) {
    text += '\n';
    text += syntax.epilogue;
    if (text.back() != '\n') {
      text += '\n';
    }
  }
  return text;
}

std::string VersionText(const CommandLineSyntax& syntax) {
  return std::string(syntax.program) + " " VARNET_VERSION_TEXT "\n";
}

int UsageError(const CommandLineSyntax& syntax, std::string_view message, std::ostream& err) {
  err << syntax.program << ": " << message << "\nTry '" << syntax.program
      << " --help' for more information.\n";
  return 2;
}

ParsedCommandLine ParseCommandLine(const CommandLineSyntax& syntax, std::span<char* const> argv,
                                   std::ostream& out, std::ostream& err) {
  ParsedCommandLine parsed;
  if (!argv.empty()) {
    parsed.passedOn.emplace_back(argv[0]);
  }
  const auto fail = [&](std::string_view message) {
    parsed.exitStatus = UsageError(syntax, message, err);
    return parsed;
  };
  bool optionsEnded = false;
  for (std::size_t i = 1; i < argv.size(); ++i) {
    const std::string arg = argv[i];
    const bool looksLikeOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
    if (!looksLikeOption) {
      parsed.arguments.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help") {
      out << HelpText(syntax);
      parsed.exitStatus = 0;
      return parsed;
    }
    if (arg == "--version") {
      out << VersionText(syntax);
      parsed.exitStatus = 0;
      return parsed;
    }
    if (arg[1] != '-' && syntax.passSingleDash) {
      parsed.passedOn.push_back(arg);
      // The toolkit's option may take a value: it goes along, and the toolkit judges both.
      if (i + 1 < argv.size() && argv[i + 1][0] != '-') {
        parsed.passedOn.emplace_back(argv[++i]);
      }
      continue;
    }
    // --name=value or --name value.
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const OptionSyntax* option = name.starts_with("--") ? Find(syntax, name) : nullptr;
    if (option == nullptr) {
      return fail("unknown option '" + name + "'");
    }
    if (option->valueName.empty()) {
      if (equals != std::string::npos) {
        return fail("option '" + name + "' takes no value");
      }
      parsed.values[name] = "";
    } else if (equals != std::string::npos) {
      parsed.values[name] = arg.substr(equals + 1);
    } else if (i + 1 < argv.size()) {
      parsed.values[name] = argv[++i];
    } else {
      return fail("option '" + name + "' needs a value (" + std::string(option->valueName) + ")");
    }
  }
  if (parsed.arguments.size() < syntax.minArguments) {
    return fail("missing " + std::string(syntax.arguments));
  }
  if (parsed.arguments.size() > syntax.maxArguments) {
    return fail("unexpected argument '" + parsed.arguments[syntax.maxArguments] + "'");
  }
  return parsed;
}

}  // namespace varnet::command_line
