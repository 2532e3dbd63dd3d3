#include "command_line/failure_output.h"

#include <chrono>
#include <ctime>
#include <fstream>
#include <memory>
#include <mutex>
#include <ostream>

namespace varnet::command_line {
namespace {

// A report comes from any thread: each line is written whole, under the lock.
struct StreamSink {
  std::mutex mutex;
  std::ostream* stream = nullptr;
  std::ofstream file;
};

std::string Now() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  char text[32] = {};
  // Called under the sink's lock: localtime's shared result is not raced by our own threads.
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
  return text;
}

}  // namespace

FailureReport FailuresOn(std::ostream& stream, std::string program) {
  auto sink = std::make_shared<StreamSink>();
  sink->stream = &stream;
  return [sink, program = std::move(program)](const std::string& line) {
    std::lock_guard lock(sink->mutex);
    *sink->stream << (program + ": " + line + "\n") << std::flush;
  };
}

std::optional<FailureReport> FailuresToLog(const std::string& path, std::string program) {
  auto sink = std::make_shared<StreamSink>();
  // Text mode: lines end as the system's own text files do (CR LF on Windows).
  sink->file.open(path, std::ios::app);
  if (!sink->file) {
    return std::nullopt;
  }
  sink->stream = &sink->file;
  return [sink, program = std::move(program)](const std::string& line) {
    std::lock_guard lock(sink->mutex);
    *sink->stream << (Now() + " " + program + ": " + line + "\n") << std::flush;
  };
}

}  // namespace varnet::command_line
