// When a thread waiting on the bench must next look at it. Between two such moments bytes leave
// and arrive one character time apart with nothing anybody waits for, so the waiting threads sleep
// through them and the next call (or the next wake-up) brings the model up to date in one go.
//
// Every moment found here is a lower bound: the transmitter is assumed to run on without a pause
// and every arrival to be stored, which holds until the first moment picked here or the next call
// (every call wakes the waiting threads, which then look again). Waking too early only costs a
// look; waking late would deliver something after its time.
#include <algorithm>

#include "platform_virtual/bench_session.h"

namespace varnet::bench {
namespace {

void Consider(std::optional<Nanoseconds>& next, std::optional<Nanoseconds> when) {
  if (when && (!next || *when < *next)) {
    next = when;
  }
}

Nanoseconds Times(std::size_t count, Nanoseconds characterTime) {
  return static_cast<Nanoseconds>(count) * characterTime;
}

}  // namespace

// The bytes the transmitter sends from the one shifting now, in order, while nothing holds it.
class VirtualBench::OutgoingBytes {
 public:
  OutgoingBytes(const VirtualBench& bench, bool onlyShifting) : bench_(bench), onlyShifting_(onlyShifting) {}

  std::optional<std::uint8_t> Next() {
    const Adapter& adapter = bench_.adapter_;
    if (stage_ == 0) {
      stage_ = onlyShifting_ ? 4 : 1;
      return adapter.shifting->byte;
    }
    if (stage_ == 1) {
      if (index_ < adapter.flowChars.size()) {
        return adapter.flowChars[index_++];
      }
      stage_ = 2;
      index_ = adapter.shifting->fromFifo ? 1 : 0;
    }
    if (stage_ == 2) {
      if (index_ < adapter.fifo.size()) {
        return adapter.fifo[index_++];
      }
      stage_ = 3;
      write_ = 0;
      index_ = 0;
    }
    while (stage_ == 3 && write_ < bench_.writes_.size()) {
      const WriteOperation& write = *bench_.writes_[write_];
      if (!write.done && write.entered + index_ < write.data.size()) {
        return write.data[write.entered + index_++];
      }
      ++write_;
      index_ = 0;
    }
    stage_ = 4;
    return std::nullopt;
  }

 private:
  const VirtualBench& bench_;
  bool onlyShifting_;
  int stage_ = 0;
  std::size_t index_ = 0;
  std::size_t write_ = 0;
};

std::optional<Nanoseconds> VirtualBench::NextWakeup() const {
  std::optional<Nanoseconds> next;
  Consider(next, adapter_.eepromBusyUntil);
  std::size_t waiting = 0;  // bytes of writes still to enter the FIFO
  for (const auto& write : writes_) {
    if (!write->done) {
      Consider(next, write->deadline);
      waiting += write->data.size() - write->entered;
    }
  }
  const Nanoseconds characterTime = CharacterTime();

  const bool transmitterRuns = plugged_ && !adapter_.breakOn && TransmitterMayRun();
  if (adapter_.shifting) {
    const Nanoseconds first = adapter_.shifting->end;
    const std::size_t flowAhead = adapter_.flowChars.size();
    const std::size_t fifoAfter = adapter_.fifo.size() - (adapter_.shifting->fromFifo ? 1 : 0);
    if (!transmitterRuns || flowAhead + fifoAfter + waiting == 0) {
      Consider(next, first);  // the transmitter stops with this character
    } else {
      // The FIFO is full while a write waits, so each FIFO character that leaves lets one byte
      // in: the front write is done as the FIFO character that makes room for its last byte
      // leaves.
      for (const auto& write : writes_) {
        if (!write->done) {
          const std::size_t fifoCharacter = write->data.size() - write->entered;  // counted from 1
          const std::size_t before =
              adapter_.shifting->fromFifo ? fifoCharacter - 1 : flowAhead + fifoCharacter;
          Consider(next, first + Times(before, characterTime));
          break;
        }
      }
      // The last character: the FIFO runs dry (EV_TXEMPTY) and the transmitter falls quiet.
      Consider(next, first + Times(flowAhead + fifoAfter + waiting, characterTime));
    }
  }
  if (farEndCharacterEnd_) {
    Consider(next, *farEndCharacterEnd_ + Times(farEnd_.size() - 1, characterTime));
  }
  Consider(next, FirstTellingArrival(next, transmitterRuns));
  return next;
}

std::optional<Nanoseconds> VirtualBench::FirstTellingArrival(std::optional<Nanoseconds> horizon,
                                                             bool transmitterRuns) const {
  const bool loop = plug_ == PlugKind::Loopback && adapter_.shifting.has_value();
  if (!loop && !farEndCharacterEnd_) {
    return std::nullopt;
  }
  const DWORD mask = portOwner_ ? ports_.at(*portOwner_).mask : 0;
  const Dcb& dcb = adapter_.dcb;
  const Nanoseconds characterTime = CharacterTime();

  // Merged in the order in which the model takes them: at one instant the looped byte first.
  OutgoingBytes looped(*this, !transmitterRuns);
  std::optional<Nanoseconds> loopAt = loop ? std::optional(adapter_.shifting->end) : std::nullopt;
  std::optional<std::uint8_t> loopByte = loop ? looped.Next() : std::nullopt;
  std::size_t farIndex = 0;
  std::optional<Nanoseconds> farAt = farEndCharacterEnd_;

  // Arrivals anybody may be waiting for one by one.
  if ((mask & CommEvent::kRxChar) != 0 || arrivalWaiters_ > 0 || dropCount_ > 0 || !corruptAt_.empty()) {
    return !loopAt ? farAt : !farAt ? loopAt : std::min(*loopAt, *farAt);
  }

  const bool outX = (dcb.flags & DcbFlag::kOutX) != 0;
  const bool rxFlag = (mask & CommEvent::kRxFlag) != 0;
  const auto xoffMark = static_cast<std::int64_t>(kReceiveBufferSize) - dcb.XoffLim;
  std::size_t stored = adapter_.received.size();
  for (;;) {
    const bool takeLoop = loopByte && (!farAt || *loopAt <= *farAt);
    if (!takeLoop && !farAt) {
      return std::nullopt;
    }
    const Nanoseconds at = takeLoop ? *loopAt : *farAt;
    if (horizon && at >= *horizon) {
      return std::nullopt;
    }
    const std::uint8_t byte = takeLoop ? *loopByte : farEnd_[farIndex];
    if (takeLoop) {
      loopByte = looped.Next();
      *loopAt += characterTime;
    } else if (++farIndex < farEnd_.size()) {
      *farAt += characterTime;
    } else {
      farAt.reset();
    }

    // Xon and Xoff move the transmitter, and are taken even with the buffer full.
    if (outX &&
        (byte == static_cast<std::uint8_t>(dcb.XoffChar) || byte == static_cast<std::uint8_t>(dcb.XonChar))) {
      return at;
    }
    if (stored < kReceiveBufferSize) {
      ++stored;
      const bool crossesMark = !adapter_.receiveHeld && static_cast<std::int64_t>(stored) > xoffMark;
      if (crossesMark || (rxFlag && byte == static_cast<std::uint8_t>(dcb.EvtChar))) {
        return at;
      }
    } else if (!adapter_.overrunReported) {
      return at;  // the overrun error
    } else if (!outX) {
      return std::nullopt;  // every further byte is lost without a trace
    }
  }
}

}  // namespace varnet::bench
