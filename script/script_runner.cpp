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
  // Between looks the runner sleeps until something changes; only while the bench moves bytes
  // or time-outs by itself, which it does not announce, does it look again after a short pause.
  void Idle(int line) {
    const auto deadline = std::chrono::steady_clock::now() + kIdleLimit;
    for (;;) {
      // Taken before the look: whatever changes during it wakes the wait below at once.
      const std::uint64_t before = framework::Activity::Sequence();
      host_->RunPendingMessages();
      const bool benchQuiet = bench_ == nullptr || bench_->IsQuiet();
      const bool quiet = framework::Activity::BusyCount() == 0 && !app_->Calls().HasPending() && benchQuiet;
      if (quiet && framework::Activity::Sequence() == before) {
        return;
      }
      if (std::chrono::steady_clock::now() > deadline) {
        throw RunError{Where(line) + "the dialog did not become idle within 10 s"};
      }
      if (benchQuiet) {
        framework::Activity::WaitForChange(before, deadline);
      } else {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
    }
  }

  // Lets `duration` pass with the dialog running: calls handed over by other threads (the
  // monitor's lines) are carried out as they come, and nothing else wakes the runner.
  void Wait(std::chrono::milliseconds duration) {
    const auto until = std::chrono::steady_clock::now() + duration;
    for (;;) {
      host_->RunPendingMessages();
      if (std::chrono::steady_clock::now() >= until) {
        return;
      }
      app_->Calls().WaitForCall(until);
    }
  }

  // One case per verb: the compiler reports a verb of the table that has no case here.
  void Execute(const Command& command) {
    const auto& w = command.words;
    switch (command.verb) {
      case Verb::Type:
        host_->Type(command.id, command.text);
        break;
      case Verb::Select:
        host_->Select(command.id, command.number);
        break;
      case Verb::Click:
        host_->Click(command.id);
        break;
      case Verb::Key:
        host_->PressKey(w[1] == "enter" ? Key::Enter : Key::Escape);
        break;
      case Verb::Menu:
        host_->ContextMenu(command.id, w[2] == "clear");
        break;
      case Verb::Enable:
      case Verb::Disable:
        host_->Enable(command.id, command.verb == Verb::Enable);
        break;
      case Verb::Post: {
        std::shared_ptr<Command> posted = command.posted;
        host_->Post([this, posted] { Execute(*posted); });
        break;
      }
      case Verb::Wait:
        Wait(std::chrono::milliseconds(command.number));
        break;
      case Verb::Print:
        PrintLists();
        break;
      case Verb::Show:
        PrintControl(command.id);
        break;
      case Verb::Tx:
        PrintTransmitted(Bench(command));
        break;
      case Verb::Requests:
        for (const std::string& line : Bench(command).TakeRequestLines()) {
          out_ << line << '\n';
        }
        break;
      case Verb::Port:
        out_ << Bench(command).PortLine() << '\n';
        break;
      case Verb::ShowFile:
        PrintFile(command.text);
        break;
      case Verb::Adapter:
        w[1] == "unplug" ? Bench(command).Unplug() : Bench(command).Plug();
        break;
      case Verb::Plug:
        Bench(command).SetPlug(w[1] == "loopback" ? bench::PlugKind::Loopback : bench::PlugKind::None);
        break;
      case Verb::Line:
        DriveLine(command);
        break;
      case Verb::Rx:
        Bench(command).Receive(command.bytes);
        break;
      case Verb::Gpio: {
        std::optional<int> level;
        if (w[2] != "none") {
          level = w[2] == "1" ? 1 : 0;
        }
        Bench(command).DriveGpio(w[1] == "1" ? 1 : 0, level);
        break;
      }
      case Verb::Descriptor:
        if (w[1] == "device") {
          Bench(command).SetDeviceDescriptor(command.bytes);
        } else if (w[1] == "config") {
          Bench(command).SetConfigurationSet(command.bytes);
        } else {
          Bench(command).SetStringDescriptor(command.number, command.bytes);
        }
        break;
      case Verb::Fail:
        Bench(command).FailNext(command.requestCode);
        break;
      case Verb::Drop:
        Bench(command).Drop(command.number);
        break;
      case Verb::Corrupt:
        Bench(command).Corrupt(command.number);
        break;
    }
  }

  bench::BenchControl& Bench(const Command& command) const {
    if (bench_ == nullptr) {
      throw RunError{Where(command.line) + command.name + ": the virtual bench is not available yet"};
    }
    return *bench_;
  }

  void DriveLine(const Command& command) {
    const auto& w = command.words;
    bench::BenchControl& bench = Bench(command);
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
  }

  void PrintControl(int id) {
    const ControlState state = host_->Show(id);
    out_ << id << " text=\"" << EscapeForOutput(state.text, true) << "\" check=" << state.check
         << " enabled=" << (state.enabled ? 1 : 0);
    if (state.isComboBox) {
      out_ << " sel=" << state.selection;
    }
    out_ << '\n';
  }

  void PrintTransmitted(bench::BenchControl& bench) {
    static const char* const kHex = "0123456789ABCDEF";
    const std::vector<std::uint8_t> bytes = bench.TakeTransmitted();
    out_ << "tx " << bytes.size() << ':';
    for (std::uint8_t byte : bytes) {
      out_ << ' ' << kHex[byte >> 4] << kHex[byte & 15];
    }
    out_ << '\n';
  }

  void PrintFile(const std::string& name) {
    out_ << "file " << name << ": ";
    std::ifstream stream(files_->Resolve("c:\\" + name), std::ios::binary);
    if (!stream) {
      out_ << "(missing)\n";
    } else {
      std::ostringstream content;
      content << stream.rdbuf();
      out_ << EscapeForOutput(content.str()) << '\n';
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
