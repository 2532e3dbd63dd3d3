// Bench scripts: the parsed form of a script, and its check.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace varnet::script {

// Actions are what a person does on the dialog (the runner lets the dialog idle after each);
// bench commands are the bench operator's; queries print what the script asks for.
enum class CommandClass { Action, Bench, Query };

// Every command of a script after its set-up lines, in the order of the table of commands
// (script_parser.cpp) that gives each its word, its class and how its line is read.
enum class Verb {
  Type,
  Select,
  Click,
  Key,
  Menu,
  Enable,
  Disable,
  Post,
  Wait,
  Print,
  Show,
  Tx,
  Requests,
  Port,
  ShowFile,
  Adapter,
  Plug,
  Line,
  Rx,
  Gpio,
  Descriptor,
  Fail,
  Drop,
  Corrupt,
};

struct Command {
  int line = 0;
  Verb verb = Verb::Click;
  CommandClass cls = CommandClass::Action;
  std::string name;                 // the first word
  std::vector<std::string> words;   // the fixed words after it
  int id = 0;                       // ID, where the command takes one
  int number = 0;                   // INDEX, MS or N
  std::string text;                 // TEXT with its escapes understood, PATH or NAME
  std::vector<std::uint8_t> bytes;  // HEX
  std::uint32_t requestCode = 0;    // fail NAME
  std::shared_ptr<Command> posted;  // post ACTION
};

struct Script {
  std::string family = "nt";
  bool virtualBench = true;
  std::string driveC = "drive_c";
  std::vector<std::pair<std::string, std::string>> files;  // file NAME TEXT, in order
  std::vector<Command> commands;                           // everything after the set-up
};

struct ScriptError {
  int line;
  std::string message;
};

// Checks the whole script. Either a script ready to run or the first error.
std::optional<Script> ParseScript(const std::string& content, ScriptError& error);

// A byte outside 0x20-0x7E as \xHH, a backslash as \\ (and, with quotes, " as \").
std::string EscapeForOutput(const std::string& text, bool escapeQuotes = false);

}  // namespace varnet::script
