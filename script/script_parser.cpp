#include <algorithm>
#include <array>
#include <functional>
#include <map>

#include "protocol/request_codes.h"
#include "resources/dialog_template.h"
#include "script/script.h"

namespace varnet::script {
namespace {

using resources::ControlKind;

struct Failure {
  std::string message;
};

// Splits off `count` words separated by single blanks; the rest (after the blank that follows
// the last of them) is TEXT. Without `withText`, nothing may follow the words.
std::vector<std::string> SplitWords(const std::string& line, std::size_t count, bool withText,
                                    std::string* rest) {
  std::vector<std::string> words;
  std::size_t position = 0;
  while (words.size() < count) {
    const std::size_t blank = line.find(' ', position);
    const std::size_t end = blank == std::string::npos ? line.size() : blank;
    if (end == position) {
      throw Failure{"words must be separated by exactly one blank"};
    }
    words.push_back(line.substr(position, end - position));
    if (blank == std::string::npos) {
      position = line.size();
      if (words.size() < count) {
        throw Failure{"too few words"};
      }
      break;
    }
    position = blank + 1;
    if (words.size() == count) {
      if (!withText) {
        throw Failure{"unexpected text after the command"};
      }
    }
  }
  if (rest != nullptr) {
    *rest = position <= line.size() ? line.substr(std::min(position, line.size())) : std::string();
  }
  return words;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out.push_back(text[i]);
      continue;
    }
    if (i + 1 >= text.size()) {
      throw Failure{"a backslash ends the text"};
    }
    const char next = text[++i];
    switch (next) {
      case 'n':
        out.push_back('\n');
        break;
      case 'r':
        out.push_back('\r');
        break;
      case 't':
        out.push_back('\t');
        break;
      case '\\':
        out.push_back('\\');
        break;
      case 'x': {
        const int high = i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
        if (high < 0 || low < 0) {
          throw Failure{"\\x needs two hexadecimal digits"};
        }
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
        break;
      }
      default:
        throw Failure{std::string("unknown escape \\") + next};
    }
  }
  return out;
}

int Decimal(const std::string& word, const char* what) {
  if (word.empty() || word.size() > 9 ||
      !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    throw Failure{std::string(what) + " must be a decimal number: " + word};
  }
  return std::stoi(word);
}

std::vector<std::uint8_t> HexBytes(const std::string& text) {
  std::vector<std::uint8_t> bytes;
  if (text.empty()) {
    return bytes;
  }
  std::size_t position = 0;
  for (;;) {
    if (position + 2 > text.size() || HexDigit(text[position]) < 0 || HexDigit(text[position + 1]) < 0) {
      throw Failure{"HEX must be two-digit hexadecimal bytes separated by single blanks"};
    }
    bytes.push_back(static_cast<std::uint8_t>(HexDigit(text[position]) * 16 + HexDigit(text[position + 1])));
    position += 2;
    if (position == text.size()) {
      return bytes;
    }
    if (text[position] != ' ') {
      throw Failure{"HEX must be two-digit hexadecimal bytes separated by single blanks"};
    }
    ++position;
  }
}

// A file name in drive c:, as `file` and `show-file` take it.
std::string FileName(const std::string& word) {
  if (word.find_first_of("\\/:") != std::string::npos || word == "." || word == "..") {
    throw Failure{"a file name in drive c: cannot hold a folder: " + word};
  }
  return word;
}

const resources::ControlDef& Control(const std::string& word) {
  const int id = Decimal(word, "ID");
  const resources::ControlDef* control = resources::FindControl(id);
  if (control == nullptr) {
    throw Failure{"no control with id " + word + " in dialog template 102"};
  }
  return *control;
}

void Expect(const std::string& word, std::initializer_list<const char*> choices) {
  for (const char* choice : choices) {
    if (word == choice) {
      return;
    }
  }
  std::string list;
  for (const char* choice : choices) {
    list += list.empty() ? "" : "|";
    list += choice;
  }
  throw Failure{"expected " + list + ", not " + word};
}

Command ParseAction(const std::string& line, const std::string& verb, Command command) {
  command.cls = CommandClass::Action;
  std::string rest;
  if (verb == "type") {
    command.words = SplitWords(line, 2, true, &rest);
    const resources::ControlDef& control = Control(command.words[1]);
    if (control.kind != ControlKind::Edit && control.kind != ControlKind::DropDown) {
      throw Failure{"type needs an edit box or an editable combo box"};
    }
    command.id = control.id;
    command.text = Unescape(rest);
    for (char c : command.text) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
        throw Failure{"a control character cannot be typed"};
      }
    }
  } else if (verb == "select") {
    command.words = SplitWords(line, 3, false, nullptr);
    const resources::ControlDef& control = Control(command.words[1]);
    if (!resources::IsComboBox(control.kind)) {
      throw Failure{"select needs a combo box"};
    }
    command.id = control.id;
    command.number = Decimal(command.words[2], "INDEX");
    if (command.number >= static_cast<int>(control.items.size())) {
      throw Failure{"combo box " + command.words[1] + " has no item " + command.words[2]};
    }
  } else if (verb == "click") {
    command.words = SplitWords(line, 2, false, nullptr);
    const resources::ControlDef& control = Control(command.words[1]);
    if (!resources::IsButton(control.kind)) {
      throw Failure{"click needs a push button, check box or radio button"};
    }
    command.id = control.id;
  } else if (verb == "key") {
    command.words = SplitWords(line, 2, false, nullptr);
    Expect(command.words[1], {"enter", "escape"});
  } else if (verb == "menu") {
    command.words = SplitWords(line, 3, false, nullptr);
    command.id = Control(command.words[1]).id;
    Expect(command.words[2], {"clear", "dismiss"});
  } else if (verb == "enable" || verb == "disable") {
    command.words = SplitWords(line, 2, false, nullptr);
    command.id = Control(command.words[1]).id;
  } else {
    throw Failure{"unknown command " + verb};
  }
  command.verb = verb;
  return command;
}

Command ParseLine(const std::string& line, int number, bool virtualBench) {
  Command command;
  command.line = number;
  const std::size_t blank = line.find(' ');
  const std::string verb = line.substr(0, blank);
  command.verb = verb;
  std::string rest;

  static const std::array<const char*, 7> kActions = {"type", "select", "click",  "key",
                                                      "menu", "enable", "disable"};
  if (std::find_if(kActions.begin(), kActions.end(), [&](const char* a) { return verb == a; }) !=
      kActions.end()) {
    return ParseAction(line, verb, command);
  }
  if (verb == "post") {
    command.cls = CommandClass::Action;
    if (blank == std::string::npos || blank + 1 >= line.size()) {
      throw Failure{"post needs an action"};
    }
    const std::string action = line.substr(blank + 1);
    const std::string actionVerb = action.substr(0, action.find(' '));
    if (std::find_if(kActions.begin(), kActions.end(), [&](const char* a) { return actionVerb == a; }) ==
        kActions.end()) {
      throw Failure{"post takes a type, select, click, key, menu, enable or disable line"};
    }
    Command posted;
    posted.line = number;
    command.posted = std::make_shared<Command>(ParseAction(action, actionVerb, posted));
    return command;
  }
  if (verb == "wait") {
    command.cls = CommandClass::Action;
    command.words = SplitWords(line, 2, false, nullptr);
    command.number = Decimal(command.words[1], "MS");
    return command;
  }

  // Queries.
  if (verb == "print" || verb == "tx" || verb == "requests" || verb == "port") {
    command.cls = CommandClass::Query;
    command.words = SplitWords(line, 1, false, nullptr);
  } else if (verb == "show") {
    command.cls = CommandClass::Query;
    command.words = SplitWords(line, 2, false, nullptr);
    command.id = Control(command.words[1]).id;
  } else if (verb == "show-file") {
    command.cls = CommandClass::Query;
    command.words = SplitWords(line, 2, false, nullptr);
    command.text = FileName(command.words[1]);
  }
  // Bench commands.
  else if (verb == "adapter") {
    command.cls = CommandClass::Bench;
    command.words = SplitWords(line, 2, false, nullptr);
    Expect(command.words[1], {"unplug", "plug"});
  } else if (verb == "plug") {
    command.cls = CommandClass::Bench;
    command.words = SplitWords(line, 2, false, nullptr);
    Expect(command.words[1], {"loopback", "none"});
  } else if (verb == "line") {
    command.cls = CommandClass::Bench;
    if (line == "line break") {
      command.words = {"line", "break"};
    } else if (line.rfind("line error ", 0) == 0) {
      command.words = SplitWords(line, 3, false, nullptr);
      Expect(command.words[2], {"framing", "parity", "overrun"});
    } else {
      command.words = SplitWords(line, 3, false, nullptr);
      Expect(command.words[1], {"cts", "dsr", "dcd", "ri"});
      Expect(command.words[2], {"on", "off"});
    }
  } else if (verb == "rx") {
    command.cls = CommandClass::Bench;
    command.words = SplitWords(line, 1, true, &rest);
    command.bytes = HexBytes(rest);
  } else if (verb == "gpio") {
    command.cls = CommandClass::Bench;
    command.words = SplitWords(line, 3, false, nullptr);
    Expect(command.words[1], {"0", "1"});
    Expect(command.words[2], {"0", "1", "none"});
  } else if (verb == "descriptor") {
    command.cls = CommandClass::Bench;
    const std::size_t second = line.find(' ', blank == std::string::npos ? line.size() : blank + 1);
    const std::string kind = blank == std::string::npos ? "" : line.substr(blank + 1, second - blank - 1);
    if (kind == "string") {
      command.words = SplitWords(line, 3, true, &rest);
      command.number = Decimal(command.words[2], "INDEX");
      if (command.number > 255) {
        throw Failure{"a string descriptor index is 0 to 255"};
      }
    } else {
      command.words = SplitWords(line, 2, true, &rest);
      Expect(command.words[1], {"device", "config", "string"});
    }
    command.bytes = HexBytes(rest);
  } else if (verb == "fail") {
    command.cls = CommandClass::Bench;
    command.words = SplitWords(line, 2, false, nullptr);
    const auto& names = driver::kRequestNames;
    auto found =
        std::find_if(names.begin(), names.end(), [&](const auto& e) { return e.name == command.words[1]; });
    if (found == names.end()) {
      throw Failure{"no driver request named " + command.words[1]};
    }
    command.requestCode = found->code;
  } else if (verb == "drop" || verb == "corrupt") {
    command.cls = CommandClass::Bench;
    command.words = SplitWords(line, 2, false, nullptr);
    command.number = Decimal(command.words[1], "N");
  } else {
    throw Failure{"unknown command " + verb};
  }
  if (!virtualBench &&
      (command.cls == CommandClass::Bench ||
       (command.cls == CommandClass::Query && (verb == "tx" || verb == "requests" || verb == "port")))) {
    throw Failure{verb + " is a virtual bench command and the script uses bench system"};
  }
  return command;
}

}  // namespace

std::optional<Script> ParseScript(const std::string& content, ScriptError& error) {
  Script script;
  bool setupOver = false;
  int number = 0;
  std::size_t position = 0;
  while (position < content.size()) {
    std::size_t end = content.find('\n', position);
    if (end == std::string::npos) {
      end = content.size();
    }
    std::string line = content.substr(position, end - position);
    position = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') {
      continue;
    }
    try {
      const std::string verb = line.substr(0, line.find(' '));
      if (verb == "family" || verb == "bench" || verb == "drive-c" || verb == "file") {
        if (setupOver) {
          throw Failure{"set-up line " + verb + " after other lines"};
        }
        std::string rest;
        if (verb == "family") {
          const auto words = SplitWords(line, 2, false, nullptr);
          Expect(words[1], {"nt", "9x"});
          script.family = words[1];
        } else if (verb == "bench") {
          const auto words = SplitWords(line, 2, false, nullptr);
          Expect(words[1], {"virtual", "system"});
          script.virtualBench = words[1] == "virtual";
        } else if (verb == "drive-c") {
          SplitWords(line, 1, true, &rest);
          if (rest.empty()) {
            throw Failure{"drive-c needs a path"};
          }
          script.driveC = rest;
        } else {
          const auto words = SplitWords(line, 2, true, &rest);
          script.files.emplace_back(FileName(words[1]), Unescape(rest));
        }
        continue;
      }
      setupOver = true;
      script.commands.push_back(ParseLine(line, number, script.virtualBench));
    } catch (const Failure& failure) {
      error = ScriptError{number, failure.message};
      return std::nullopt;
    }
  }
  return script;
}

std::string EscapeForOutput(const std::string& text, bool escapeQuotes) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (escapeQuotes && c == '"') {
      out += "\\\"";
    } else if (byte < 0x20 || byte > 0x7E) {
      out += "\\x";
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 15]);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace varnet::script
