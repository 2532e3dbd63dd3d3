// Bench scripts: the parsed form of a script, and its check.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace varnet::script {

enum class CommandClass { Setup, Action, Bench, Query };

struct Command {
  int line = 0;
  CommandClass cls = CommandClass::Action;
  std::string verb;                 // the first word
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
