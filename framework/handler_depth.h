// How many of the dialog's handlers are running on the window's thread, outermost first. A
// handler's message pump can start another, and the modal loop takes the dialog's own messages
// only once the outermost has returned; a scope keeps the count right whichever way a handler
// leaves (an exception, an early return).
#pragma once

namespace varnet::framework {

class HandlerDepth {
 public:
  class Scope {
   public:
    explicit Scope(HandlerDepth& depth) : depth_(depth) { ++depth_.count_; }
    ~Scope() { --depth_.count_; }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    HandlerDepth& depth_;
  };

  // Marks the caller's scope as a running handler.
  [[nodiscard]] Scope Enter() { return Scope(*this); }
  bool InHandler() const { return count_ > 0; }

 private:
  int count_ = 0;
};

}  // namespace varnet::framework
