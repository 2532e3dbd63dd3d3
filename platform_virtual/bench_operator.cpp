// The operator's side of the bench: what a script or a test does to the adapter from outside,
// and what it reads back.
#include <cstdio>
#include <utility>

#include "platform_virtual/bench_session.h"
#include "protocol/request_layouts.h"

namespace varnet::bench {

void VirtualBench::SetPlug(PlugKind plug) {
  Session session(*this, true);
  const InputLevels before = Inputs();
  plug_ = plug;
  InputsChangedFrom(before);
}

bool VirtualBench::DriveLine(InputLine line, bool on) {
  Session session(*this, true);
  if (plug_ == PlugKind::Loopback && line != InputLine::Ri) {
    return false;  // the plug itself drives CTS, DSR and DCD
  }
  const InputLevels before = Inputs();
  switch (line) {
    case InputLine::Cts:
      driven_.cts = on;
      break;
    case InputLine::Dsr:
      driven_.dsr = on;
      break;
    case InputLine::Dcd:
      driven_.dcd = on;
      break;
    case InputLine::Ri:
      driven_.ri = on;
      break;
  }
  InputsChangedFrom(before);
  return true;
}

void VirtualBench::SendBreak() {
  Session session(*this, true);
  BreakArrived();
}

void VirtualBench::RaiseLineError(LineError error) {
  Session session(*this, true);
  if (!plugged_) {
    return;
  }
  switch (error) {
    case LineError::Framing:
      adapter_.interruptEvents |= driver::kInterruptFraming;
      break;
    case LineError::Parity:
      adapter_.interruptEvents |= driver::kInterruptParity;
      break;
    case LineError::Overrun:
      adapter_.interruptEvents |= driver::kInterruptOverrun;
      break;
  }
  Raise(CommEvent::kErr);
}

void VirtualBench::Receive(std::span<const std::uint8_t> bytes) {
  Session session(*this, true);
  farEnd_.insert(farEnd_.end(), bytes.begin(), bytes.end());
  if (!farEndCharacterEnd_ && !farEnd_.empty()) {
    farEndCharacterEnd_ = now_ + CharacterTime();
  }
}

void VirtualBench::DriveGpio(int pin, std::optional<int> level) {
  Session session(*this, true);
  if (pin == 0 || pin == 1) {
    gpDriven_[static_cast<std::size_t>(pin)] = level;
  }
}

void VirtualBench::SetDeviceDescriptor(std::vector<std::uint8_t> bytes) {
  Session session(*this, true);
  deviceDescriptor_ = std::move(bytes);
}

void VirtualBench::SetConfigurationSet(std::vector<std::uint8_t> bytes) {
  Session session(*this, true);
  configurationSet_ = std::move(bytes);
}

void VirtualBench::SetStringDescriptor(int index, std::vector<std::uint8_t> bytes) {
  Session session(*this, true);
  strings_[index] = std::move(bytes);
}

void VirtualBench::FailNext(std::uint32_t requestCode) {
  Session session(*this, true);
  ++failNext_[requestCode];
}

void VirtualBench::Drop(int count) {
  Session session(*this, true);
  dropCount_ = count;
}

void VirtualBench::Corrupt(int distance) {
  Session session(*this, true);
  corruptAt_.insert(storedCount_ + static_cast<std::uint64_t>(distance));
}

std::vector<std::uint8_t> VirtualBench::TakeTransmitted() {
  Session session(*this, false);
  return std::exchange(transmitted_, {});
}

std::vector<std::string> VirtualBench::TakeRequestLines() {
  Session session(*this, false);
  return std::exchange(requestLines_, {});
}

std::string VirtualBench::PortLine() {
  Session session(*this, false);
  if (!portOwner_) {
    return "port open=0";
  }
  const Dcb& dcb = adapter_.dcb;
  const InputLevels inputs = Inputs();
  const auto bit = [](bool on) { return on ? 1 : 0; };
  char line[320];
  std::snprintf(line, sizeof line,
                "port open=1 baud=%u size=%u parity=%u stop=%u dtr=%d rts=%d cts=%d dsr=%d "
                "dcd=%d ri=%d ctsflow=%d dsrflow=%d dtrcontrol=%u rtscontrol=%u outx=%d inx=%d",
                static_cast<unsigned>(dcb.BaudRate), static_cast<unsigned>(dcb.ByteSize),
                static_cast<unsigned>(dcb.Parity), static_cast<unsigned>(dcb.StopBits), bit(adapter_.dtr),
                bit(adapter_.rts), bit(inputs.cts), bit(inputs.dsr), bit(inputs.dcd), bit(inputs.ri),
                bit((dcb.flags & DcbFlag::kOutxCtsFlow) != 0), bit((dcb.flags & DcbFlag::kOutxDsrFlow) != 0),
                static_cast<unsigned>(DtrControl(dcb)), static_cast<unsigned>(RtsControl(dcb)),
                bit((dcb.flags & DcbFlag::kOutX) != 0), bit((dcb.flags & DcbFlag::kInX) != 0));
  return line;
}

}  // namespace varnet::bench
