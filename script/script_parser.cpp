#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <string_view>

#include "protocol/request_codes.h"
#include "resources/dialog_template.h"
#include "script/script.h"

namespace varnet::script {
namespace {

using resources::ControlKind;

struct Failure {
  std::string message;
};

enum class Rest { Forbidden, Text };

// Splits off `count` words separated by single blanks; the rest (after the blank that follows
// the last of them) is TEXT, which only Rest::Text allows.
std::vector<std::string> SplitWords(const std::string& line, std::size_t count, Rest allowed,
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
      if (allowed == Rest::Forbidden) {
        throw Failure{"unexpected text after the command"};
      }
    }
  }
  if (rest != nullptr) {
    *rest = position <= line.size() ? line.substr(std::min(position, line.size())) : std::string();
  }
  return words;
}

// A line of exactly `count` words.
std::vector<std::string> Words(const std::string& line, std::size_t count) {
  return SplitWords(line, count, Rest::Forbidden, nullptr);
}

// `count` words and the TEXT after them.
std::vector<std::string> WordsAndText(const std::string& line, std::size_t count, std::string& text) {
  return SplitWords(line, count, Rest::Text, &text);
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

// --- How each command's line is read ----------------------------------------------------------

void ParseType(const std::string& line, Command& command) {
  std::string rest;
  command.words = WordsAndText(line, 2, rest);
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
}

void ParseSelect(const std::string& line, Command& command) {
  command.words = Words(line, 3);
  const resources::ControlDef& control = Control(command.words[1]);
  if (!resources::IsComboBox(control.kind)) {
    throw Failure{"select needs a combo box"};
  }
  command.id = control.id;
  command.number = Decimal(command.words[2], "INDEX");
  if (command.number >= static_cast<int>(control.items.size())) {
    throw Failure{"combo box " + command.words[1] + " has no item " + command.words[2]};
  }
}

void ParseClick(const std::string& line, Command& command) {
  command.words = Words(line, 2);
  const resources::ControlDef& control = Control(command.words[1]);
  if (!resources::IsButton(control.kind)) {
    throw Failure{"click needs a push button, check box or radio button"};
  }
  command.id = control.id;
}

void ParseKey(const std::string& line, Command& command) {
  command.words = Words(line, 2);
  Expect(command.words[1], {"enter", "escape"});
}

void ParseMenu(const std::string& line, Command& command) {
  command.words = Words(line, 3);
  command.id = Control(command.words[1]).id;
  Expect(command.words[2], {"clear", "dismiss"});
}

// ID: enable, disable, show.
void ParseControl(const std::string& line, Command& command) {
  command.words = Words(line, 2);
  command.id = Control(command.words[1]).id;
}

void ParsePost(const std::string& line, Command& command);

void ParseWait(const std::string& line, Command& command) {
  command.words = Words(line, 2);
  command.number = Decimal(command.words[1], "MS");
}

// The verb alone.
void ParseBare(const std::string& line, Command& command) { command.words = Words(line, 1); }

void ParseShowFile(const std::string& line, Command& command) {
  command.words = Words(line, 2);
  command.text = FileName(command.words[1]);
}

void ParseAdapter(const std::string& line, Command& command) {
  command.words = Words(line, 2);
  Expect(command.words[1], {"unplug", "plug"});
}

void ParsePlug(const std::string& line, Command& command) {
  command.words = Words(line, 2);
  Expect(command.words[1], {"loopback", "none"});
}

void ParseLine(const std::string& line, Command& command) {
  if (line == "line break") {
    command.words = {"line", "break"};
  } else if (line.rfind("line error ", 0) == 0) {
    command.words = Words(line, 3);
    Expect(command.words[2], {"framing", "parity", "overrun"});
  } else {
    command.words = Words(line, 3);
    Expect(command.words[1], {"cts", "dsr", "dcd", "ri"});
    Expect(command.words[2], {"on", "off"});
  }
}

void ParseRx(const std::string& line, Command& command) {
  std::string rest;
  command.words = WordsAndText(line, 1, rest);
  command.bytes = HexBytes(rest);
}

void ParseGpio(const std::string& line, Command& command) {
  command.words = Words(line, 3);
  Expect(command.words[1], {"0", "1"});
  Expect(command.words[2], {"0", "1", "none"});
}

void ParseDescriptor(const std::string& line, Command& command) {
  const std::size_t blank = line.find(' ');
  const std::size_t second = line.find(' ', blank == std::string::npos ? line.size() : blank + 1);
  const std::string kind = blank == std::string::npos ? "" : line.substr(blank + 1, second - blank - 1);
  std::string rest;
  if (kind == "string") {
    command.words = WordsAndText(line, 3, rest);
    command.number = Decimal(command.words[2], "INDEX");
    if (command.number > 255) {
      throw Failure{"a string descriptor index is 0 to 255"};
    }
  } else {
    command.words = WordsAndText(line, 2, rest);
    Expect(command.words[1], {"device", "config", "string"});
  }
  command.bytes = HexBytes(rest);
}

void ParseFail(const std::string& line, Command& command) {
  command.words = Words(line, 2);
  const auto& names = driver::kRequestNames;
  auto found =
      std::find_if(names.begin(), names.end(), [&](const auto& e) { return e.name == command.words[1]; });
  if (found == names.end()) {
    throw Failure{"no driver request named " + command.words[1]};
  }
  command.requestCode = found->code;
}

// N: drop, corrupt.
void ParseCount(const std::string& line, Command& command) {
  command.words = Words(line, 2);
  command.number = Decimal(command.words[1], "N");
}

// --- The table of commands ------------------------------------------------------------------

enum class Post { No, Yes };            // whether `post` takes the command
enum class Reach { Any, VirtualOnly };  // VirtualOnly: not under bench system

struct CommandRow {
  std::string_view name;
  Verb verb;
  CommandClass cls;
  void (*parse)(const std::string& line, Command& command);
  Post post;
  Reach reach;
};

// One row per Verb, in its order: the word, the verb, its class, how its line is read, whether
// post takes it, and where it runs.
// clang-format off
constexpr std::array<CommandRow, 24> kCommands = {{
    {"type",       Verb::Type,       CommandClass::Action, &ParseType,       Post::Yes, Reach::Any},
    {"select",     Verb::Select,     CommandClass::Action, &ParseSelect,     Post::Yes, Reach::Any},
    {"click",      Verb::Click,      CommandClass::Action, &ParseClick,      Post::Yes, Reach::Any},
    {"key",        Verb::Key,        CommandClass::Action, &ParseKey,        Post::Yes, Reach::Any},
    {"menu",       Verb::Menu,       CommandClass::Action, &ParseMenu,       Post::Yes, Reach::Any},
    {"enable",     Verb::Enable,     CommandClass::Action, &ParseControl,    Post::Yes, Reach::Any},
    {"disable",    Verb::Disable,    CommandClass::Action, &ParseControl,    Post::Yes, Reach::Any},
    {"post",       Verb::Post,       CommandClass::Action, &ParsePost,       Post::No,  Reach::Any},
    {"wait",       Verb::Wait,       CommandClass::Action, &ParseWait,       Post::No,  Reach::Any},
    {"print",      Verb::Print,      CommandClass::Query,  &ParseBare,       Post::No,  Reach::Any},
    {"show",       Verb::Show,       CommandClass::Query,  &ParseControl,    Post::No,  Reach::Any},
    {"tx",         Verb::Tx,         CommandClass::Query,  &ParseBare,       Post::No,  Reach::VirtualOnly},
    {"requests",   Verb::Requests,   CommandClass::Query,  &ParseBare,       Post::No,  Reach::VirtualOnly},
    {"port",       Verb::Port,       CommandClass::Query,  &ParseBare,       Post::No,  Reach::VirtualOnly},
    {"show-file",  Verb::ShowFile,   CommandClass::Query,  &ParseShowFile,   Post::No,  Reach::Any},
    {"adapter",    Verb::Adapter,    CommandClass::Bench,  &ParseAdapter,    Post::No,  Reach::VirtualOnly},
    {"plug",       Verb::Plug,       CommandClass::Bench,  &ParsePlug,       Post::No,  Reach::VirtualOnly},
    {"line",       Verb::Line,       CommandClass::Bench,  &ParseLine,       Post::No,  Reach::VirtualOnly},
    {"rx",         Verb::Rx,         CommandClass::Bench,  &ParseRx,         Post::No,  Reach::VirtualOnly},
    {"gpio",       Verb::Gpio,       CommandClass::Bench,  &ParseGpio,       Post::No,  Reach::VirtualOnly},
    {"descriptor", Verb::Descriptor, CommandClass::Bench,  &ParseDescriptor, Post::No,  Reach::VirtualOnly},
    {"fail",       Verb::Fail,       CommandClass::Bench,  &ParseFail,       Post::No,  Reach::VirtualOnly},
    {"drop",       Verb::Drop,       CommandClass::Bench,  &ParseCount,      Post::No,  Reach::VirtualOnly},
    {"corrupt",    Verb::Corrupt,    CommandClass::Bench,  &ParseCount,      Post::No,  Reach::VirtualOnly},
}};
// clang-format on

constexpr bool InVerbOrder() {
  for (std::size_t i = 0; i < kCommands.size(); ++i) {
    if (kCommands[i].verb != static_cast<Verb>(i)) {
      return false;
    }
  }
  return kCommands.back().verb == Verb::Corrupt;
}
static_assert(InVerbOrder(), "one row per Verb, in the order of Verb");

const CommandRow* FindCommand(std::string_view name) {
  const auto found = std::find_if(kCommands.begin(), kCommands.end(),
                                  [name](const CommandRow& row) { return row.name == name; });
  return found == kCommands.end() ? nullptr : &*found;
}

Command ParseWith(const CommandRow& row, const std::string& line, int number) {
  Command command;
  command.line = number;
  command.verb = row.verb;
  command.cls = row.cls;
  command.name = std::string(row.name);
  row.parse(line, command);
  return command;
}

void ParsePost(const std::string& line, Command& command) {
  const std::size_t blank = line.find(' ');
  if (blank == std::string::npos || blank + 1 >= line.size()) {
    throw Failure{"post needs an action"};
  }
  const std::string action = line.substr(blank + 1);
  const CommandRow* row = FindCommand(action.substr(0, action.find(' ')));
  if (row == nullptr || row->post == Post::No) {
    throw Failure{"post takes a type, select, click, key, menu, enable or disable line"};
  }
  command.posted = std::make_shared<Command>(ParseWith(*row, action, command.line));
}

Command ParseCommand(const std::string& line, int number, bool virtualBench) {
  const std::string name = line.substr(0, line.find(' '));
  const CommandRow* row = FindCommand(name);
  if (row == nullptr) {
    throw Failure{"unknown command " + name};
  }
  Command command = ParseWith(*row, line, number);
  if (!virtualBench && row->reach == Reach::VirtualOnly) {
    throw Failure{name + " is a virtual bench command and the script uses bench system"};
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
          const auto words = Words(line, 2);
          Expect(words[1], {"nt", "9x"});
          script.family = words[1];
        } else if (verb == "bench") {
          const auto words = Words(line, 2);
          Expect(words[1], {"virtual", "system"});
          script.virtualBench = words[1] == "virtual";
        } else if (verb == "drive-c") {
          WordsAndText(line, 1, rest);
          if (rest.empty()) {
            throw Failure{"drive-c needs a path"};
          }
          script.driveC = rest;
        } else {
          const auto words = WordsAndText(line, 2, rest);
          script.files.emplace_back(FileName(words[1]), Unescape(rest));
        }
        continue;
      }
      setupOver = true;
      script.commands.push_back(ParseCommand(line, number, script.virtualBench));
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
