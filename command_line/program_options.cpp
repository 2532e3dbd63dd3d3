#include "command_line/program_options.h"

#include <ostream>

#include "varnet_version.h"

namespace varnet::command_line {
namespace {

const OptionSpec kHelp{"--help", "", "show this text and exit"};
const OptionSpec kVersion{"--version", "", "show the version and exit"};

const OptionSpec* Find(const ProgramSpec& spec, std::string_view name) {
  for (const OptionSpec& option : spec.options) {
    if (option.name == name) {
      return &option;
    }
  }
  return nullptr;
}

}  // namespace

std::string HelpText(const ProgramSpec& spec) {
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on a short literal + std::string.
  std::string text = "usage: ";
  text += spec.program;
  text += " [OPTION]...";
  if (!spec.arguments.empty()) {
    text += ' ';
    text += spec.arguments;
  }
  text += '\n';
  text += spec.summary;
  text += "\n\nOptions:\n";
  std::vector<const OptionSpec*> all;
  for (const OptionSpec& option : spec.options) {
    all.push_back(&option);
  }
  all.push_back(&kHelp);
  all.push_back(&kVersion);
  for (const OptionSpec* option : all) {
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
  if (!spec.epilogue.empty()) {
    text += '\n';
    text += spec.epilogue;
    if (text.back() != '\n') {
      text += '\n';
    }
  }
  return text;
}

std::string VersionText(const ProgramSpec& spec) {
  return std::string(spec.program) + " " VARNET_VERSION_TEXT "\n";
}

int UsageError(const ProgramSpec& spec, std::string_view message, std::ostream& err) {
  err << spec.program << ": " << message << "\nTry '" << spec.program << " --help' for more information.\n";
  return 2;
}

ParsedCommandLine ParseCommandLine(const ProgramSpec& spec, std::span<char* const> argv, std::ostream& out,
                                   std::ostream& err) {
  ParsedCommandLine parsed;
  if (!argv.empty()) {
    parsed.passedOn.emplace_back(argv[0]);
  }
  const auto fail = [&](std::string_view message) {
    parsed.exitStatus = UsageError(spec, message, err);
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
      out << HelpText(spec);
      parsed.exitStatus = 0;
      return parsed;
    }
    if (arg == "--version") {
      out << VersionText(spec);
      parsed.exitStatus = 0;
      return parsed;
    }
    if (arg[1] != '-' && spec.passSingleDash) {
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
    const OptionSpec* option = name.starts_with("--") ? Find(spec, name) : nullptr;
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
  if (parsed.arguments.size() < spec.minArguments) {
    return fail("missing " + std::string(spec.arguments));
  }
  if (parsed.arguments.size() > spec.maxArguments) {
    return fail("unexpected argument '" + parsed.arguments[spec.maxArguments] + "'");
  }
  return parsed;
}

}  // namespace varnet::command_line
