// What the bench operator (the script runner, a test) can do to and see of the virtual adapter,
// beyond what the program itself does through the platform interfaces.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace varnet::bench {

enum class PlugKind { Loopback, None };
enum class InputLine { Cts, Dsr, Dcd, Ri };
enum class LineError { Framing, Parity, Overrun };

class BenchControl {
 public:
  virtual ~BenchControl() = default;

  // adapter unplug / adapter plug
  virtual void Unplug() = 0;
  virtual void Plug() = 0;
  // plug loopback / plug none
  virtual void SetPlug(PlugKind plug) = 0;
  // line cts|dsr|dcd|ri on|off: the far end drives an input line. With the loop-back plug only
  // RI can be driven; false when the line cannot be driven.
  virtual bool DriveLine(InputLine line, bool on) = 0;
  // line break
  virtual void SendBreak() = 0;
  // line error framing|parity|overrun
  virtual void RaiseLineError(LineError error) = 0;
  // rx HEX: the far end sends these bytes (at the line's character timing).
  virtual void Receive(std::span<const std::uint8_t> bytes) = 0;
  // gpio 0|1 0|1|none
  virtual void DriveGpio(int pin, std::optional<int> level) = 0;
  // descriptor device|config|string INDEX HEX
  virtual void SetDeviceDescriptor(std::vector<std::uint8_t> bytes) = 0;
  virtual void SetConfigurationSet(std::vector<std::uint8_t> bytes) = 0;
  virtual void SetStringDescriptor(int index, std::vector<std::uint8_t> bytes) = 0;
  // fail NAME: the next request of that code fails.
  virtual void FailNext(std::uint32_t requestCode) = 0;
  // drop N / corrupt N
  virtual void Drop(int count) = 0;
  virtual void Corrupt(int distance) = 0;

  // tx: the bytes that left the transmitter since the last call.
  virtual std::vector<std::uint8_t> TakeTransmitted() = 0;
  // requests: one line per request that reached the driver since the last call, in the form
  // "NAME in=I out=O[ data=HH HH ...]".
  virtual std::vector<std::string> TakeRequestLines() = 0;
  // port: "port open=0" or "port open=1 baud=N size=N ..." as the adapter sees its port.
  virtual std::string PortLine() = 0;

  // The bench's part of the idle rule: no byte in flight that can still move without outside
  // help, no timer of the adapter running (the EEPROM busy time), and no comm-event signal set
  // that a waiting thread has not yet taken.
  virtual bool IsQuiet() = 0;
};

}  // namespace varnet::bench
