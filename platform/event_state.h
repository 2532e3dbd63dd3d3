// The state of a Windows event object, for the platform layers that keep events themselves:
// SetEvent sets it, ResetEvent clears it, and a wait that it releases clears an auto-reset one.
#pragma once

namespace varnet {

struct EventState {
  bool manualReset = false;
  bool signalled = false;

  // A wait that finds the event set is released by it; an auto-reset event is cleared then.
  bool TryTake() {
    if (!signalled) {
      return false;
    }
    signalled = manualReset;
    return true;
  }
};

}  // namespace varnet
