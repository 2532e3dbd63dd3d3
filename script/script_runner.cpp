#include "script/script_runner.h"

#include <chrono>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "app/test_app.h"
#include "app/test_dlg.h"
#include "framework/activity.h"
#include "resources/control_ids.h"
#include "script/script_platform.h"

namespace varnet::script {
namespace {

using framework::ControlState;
using framework::Key;
using framework::ScriptHost;

constexpr auto kIdleLimit = std::chrono::seconds(10);

struct RunError {
  std::string message;
};

class Runner {
 public:
  Runner(std::string fileName, std::ostream& out, std::ostream& err)
      : fileName_(std::move(fileName)), out_(out), err_(err) {}

  int Run(const Script& script, const HostFactory& makeHost,
          const SystemPlatformFactory& makeSystemPlatform) {
    DriveCFolder files(script.driveC);
    for (const auto& [name, content] : script.files) {
      std::ofstream stream(files.Resolve("c:\\" + name), std::ios::binary | std::ios::trunc);
      stream << content;
    }
    files_ = &files;
    std::unique_ptr<ScriptPlatform> platform;
    if (script.virtualBench) {
      platform = MakeVirtualPlatform(script, files, out_);
    } else if (makeSystemPlatform) {
      platform = makeSystemPlatform(script, files, out_);
    }
    if (!platform) {
      err_ << fileName_ << ": bench system: this build has no platform layer for the machine's own ports\n";
      return 2;
    }
    bench_ = platform->Bench();

    CTestApp app;
    std::unique_ptr<ScriptHost> host = makeHost(app);
    host_ = host.get();
    app_ = &app;
    int status = 0;
    {
      CTestDlg dialog(platform->Services());
      try {
        host->Open(dialog);
        Idle(0);
        for (const Command& command : script.commands) {
          if (host->Ended()) {
            throw RunError{Where(command.line) + "the dialog has ended"};
          }
          Execute(command);
          if (command.cls != CommandClass::Query) {
            Idle(command.line);
          }
        }
        Idle(0);
        PrintLists();
      } catch (const RunError& error) {
        out_.flush();
        err_ << error.message << '\n';
        status = 2;
      }
      host->Close();
    }
    out_.flush();
    return status;
  }

 private:
  std::string Where(int line) const {
    return line > 0 ? fileName_ + ":" + std::to_string(line) + ": " : fileName_ + ": ";
  }

  // Lets the dialog idle until it is quiet: the monitor's lines are all in their list and the
  // monitor waits for a comm event (or has ended), and the bench has nothing moving by itself.
  void Idle(int line) {
    const auto deadline = std::chrono::steady_clock::now() + kIdleLimit;
    for (;;) {
      host_->RunPendingMessages();
      const std::uint64_t before = framework::Activity::Sequence();
      const bool quiet = framework::Activity::BusyCount() == 0 && !app_->Calls().HasPending() &&
                         (bench_ == nullptr || bench_->IsQuiet());
      if (quiet && framework::Activity::Sequence() == before) {
        return;
      }
      if (std::chrono::steady_clock::now() > deadline) {
        throw RunError{Where(line) + "the dialog did not become idle within 10 s"};
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }

  void Execute(const Command& command) {
    switch (command.cls) {
      case CommandClass::Action:
        if (command.verb == "post") {
          std::shared_ptr<Command> posted = command.posted;
          host_->Post([this, posted] { ExecuteAction(*posted); });
        } else if (command.verb == "wait") {
          const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(command.number);
          while (std::chrono::steady_clock::now() < until) {
            host_->RunPendingMessages();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
          }
        } else {
          ExecuteAction(command);
        }
        break;
      case CommandClass::Bench:
        ExecuteBench(command);
        break;
      case CommandClass::Query:
        ExecuteQuery(command);
        break;
      case CommandClass::Setup:
        break;
    }
  }

  void ExecuteAction(const Command& command) {
    const std::string& verb = command.verb;
    if (verb == "type") {
      host_->Type(command.id, command.text);
    } else if (verb == "select") {
      host_->Select(command.id, command.number);
    } else if (verb == "click") {
      host_->Click(command.id);
    } else if (verb == "key") {
      host_->PressKey(command.words[1] == "enter" ? Key::Enter : Key::Escape);
    } else if (verb == "menu") {
      host_->ContextMenu(command.id, command.words[2] == "clear");
    } else if (verb == "enable" || verb == "disable") {
      host_->Enable(command.id, verb == "enable");
    }
  }

  void RequireBench(const Command& command) const {
    if (bench_ == nullptr) {
      throw RunError{Where(command.line) + command.verb + ": the virtual bench is not available yet"};
    }
  }

  void ExecuteBench(const Command& command) {
    RequireBench(command);
    bench::BenchControl& bench = *bench_;
    const std::string& verb = command.verb;
    const auto& w = command.words;
    if (verb == "adapter") {
      w[1] == "unplug" ? bench.Unplug() : bench.Plug();
    } else if (verb == "plug") {
      bench.SetPlug(w[1] == "loopback" ? bench::PlugKind::Loopback : bench::PlugKind::None);
    } else if (verb == "line") {
      if (w[1] == "break") {
        bench.SendBreak();
      } else if (w[1] == "error") {
        bench.RaiseLineError(w[2] == "framing"  ? bench::LineError::Framing
                             : w[2] == "parity" ? bench::LineError::Parity
                                                : bench::LineError::Overrun);
      } else {
        const bench::InputLine input = w[1] == "cts"   ? bench::InputLine::Cts
                                       : w[1] == "dsr" ? bench::InputLine::Dsr
                                       : w[1] == "dcd" ? bench::InputLine::Dcd
                                                       : bench::InputLine::Ri;
        if (!bench.DriveLine(input, w[2] == "on")) {
          throw RunError{Where(command.line) + "the loop-back plug drives " + w[1] + " itself"};
        }
      }
    } else if (verb == "rx") {
      bench.Receive(command.bytes);
    } else if (verb == "gpio") {
      std::optional<int> level;
      if (w[2] != "none") {
        level = w[2] == "1" ? 1 : 0;
      }
      bench.DriveGpio(w[1] == "1" ? 1 : 0, level);
    } else if (verb == "descriptor") {
      if (w[1] == "device") {
        bench.SetDeviceDescriptor(command.bytes);
      } else if (w[1] == "config") {
        bench.SetConfigurationSet(command.bytes);
      } else {
        bench.SetStringDescriptor(command.number, command.bytes);
      }
    } else if (verb == "fail") {
      bench.FailNext(command.requestCode);
    } else if (verb == "drop") {
      bench.Drop(command.number);
    } else if (verb == "corrupt") {
      bench.Corrupt(command.number);
    }
  }

  void ExecuteQuery(const Command& command) {
    const std::string& verb = command.verb;
    if (verb == "print") {
      PrintLists();
    } else if (verb == "show") {
      const ControlState state = host_->Show(command.id);
      out_ << command.id << " text=\"" << EscapeForOutput(state.text, true) << "\" check=" << state.check
           << " enabled=" << (state.enabled ? 1 : 0);
      if (state.isComboBox) {
        out_ << " sel=" << state.selection;
      }
      out_ << '\n';
    } else if (verb == "tx") {
      RequireBench(command);
      static const char* const kHex = "0123456789ABCDEF";
      const std::vector<std::uint8_t> bytes = bench_->TakeTransmitted();
      out_ << "tx " << bytes.size() << ':';
      for (std::uint8_t byte : bytes) {
        out_ << ' ' << kHex[byte >> 4] << kHex[byte & 15];
      }
      out_ << '\n';
    } else if (verb == "requests") {
      RequireBench(command);
      for (const std::string& line : bench_->TakeRequestLines()) {
        out_ << line << '\n';
      }
    } else if (verb == "port") {
      RequireBench(command);
      out_ << bench_->PortLine() << '\n';
    } else if (verb == "show-file") {
      out_ << "file " << command.text << ": ";
      std::ifstream stream(files_->Resolve("c:\\" + command.text), std::ios::binary);
      if (!stream) {
        out_ << "(missing)\n";
      } else {
        std::ostringstream content;
        content << stream.rdbuf();
        out_ << EscapeForOutput(content.str()) << '\n';
      }
    }
  }

  void PrintLists() {
    out_ << "-- Command Response\n";
    for (const std::string& line : host_->Lines(ids::kCommandResponseList)) {
      out_ << EscapeForOutput(line) << '\n';
    }
    out_ << "-- Result\n";
    for (const std::string& line : host_->Lines(ids::kResultList)) {
      out_ << EscapeForOutput(line) << '\n';
    }
  }

  std::string fileName_;
  std::ostream& out_;
  std::ostream& err_;
  ScriptHost* host_ = nullptr;
  framework::CWinApp* app_ = nullptr;
  bench::BenchControl* bench_ = nullptr;
  DriveCFolder* files_ = nullptr;
};

}  // namespace

int RunScriptText(const std::string& fileName, const std::string& content, std::ostream& out,
                  std::ostream& err, const HostFactory& makeHost,
                  const SystemPlatformFactory& makeSystemPlatform) {
  ScriptError error;
  const std::optional<Script> script = ParseScript(content, error);
  if (!script) {
    err << fileName << ':' << error.line << ": " << error.message << '\n';
    return 2;
  }
  Runner runner(fileName, out, err);
  return runner.Run(*script, makeHost, makeSystemPlatform);
}

int RunScriptFile(const std::string& fileName, std::ostream& out, std::ostream& err,
                  const HostFactory& makeHost, const SystemPlatformFactory& makeSystemPlatform) {
  std::ifstream stream(fileName, std::ios::binary);
  if (!stream) {
    err << fileName << ": cannot read the script\n";
    return 2;
  }
  std::ostringstream content;
  content << stream.rdbuf();
  return RunScriptText(fileName, content.str(), out, err, makeHost, makeSystemPlatform);
}

}  // namespace varnet::script
