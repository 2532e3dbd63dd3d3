// libFuzzer target: the bench script check over any file. The input is the script's content.
// A script either passes as a whole or fails at one of its own lines with a message; what passes
// holds only what the runner can carry out.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "script/script.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using varnet::script::Command;
using varnet::script::CommandClass;
using varnet::script::EscapeForOutput;
using varnet::script::ParseScript;
using varnet::script::Script;
using varnet::script::ScriptError;
using varnet::script::Verb;

using varnet::fuzz::Check;

bool Printable(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

void CheckCommand(const Command& command, int lines, bool virtualBench) {
  Check(command.line >= 1 && command.line <= lines);
  Check(virtualBench || command.cls != CommandClass::Bench);
  if (command.posted) {
    Check(command.cls == CommandClass::Action && command.posted->cls == CommandClass::Action);
    Check(command.posted->line == command.line && !command.posted->posted);
  }
  if (command.verb == Verb::Type) {
    // What is typed reaches the dialog's boxes as keystrokes: never a control character.
    Check(std::none_of(command.text.begin(), command.text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }));
  }
  Check(Printable(EscapeForOutput(command.text)));
}

// Any text survives being written out escaped and read back as a `file` line's TEXT.
void CheckEscapeRoundTrip(const std::string& text) {
  const std::string escaped = EscapeForOutput(text);
  Check(Printable(escaped));
  ScriptError error{0, ""};
  const std::optional<Script> script = ParseScript("file F " + escaped, error);
  Check(script && script->files.size() == 1 && script->files[0].second == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  const int lines = static_cast<int>(std::count(content.begin(), content.end(), '\n')) + 1;

  ScriptError error{0, ""};
  const std::optional<Script> script = ParseScript(content, error);
  if (!script) {
    Check(error.line >= 1 && error.line <= lines && !error.message.empty());
  } else {
    int previous = 0;
    for (const Command& command : script->commands) {
      CheckCommand(command, lines, script->virtualBench);
      Check(command.line > previous);
      previous = command.line;
    }
    for (const auto& [name, text] : script->files) {
      Check(!name.empty() && name.find_first_of("\\/:") == std::string::npos);
    }
  }

  CheckEscapeRoundTrip(content);
  return 0;
}
