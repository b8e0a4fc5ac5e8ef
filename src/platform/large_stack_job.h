// The work a large-stack thread runs, and what it threw.
#pragma once

#include <exception>
#include <functional>

namespace quadrel {

struct LargeStackJob {
  const std::function<void()>* work;
  std::exception_ptr failure;

  void run() {
    try {
      (*work)();
    } catch (...) {
      failure = std::current_exception();
    }
  }
  // Back on the caller's thread: what the work threw is thrown here.
  bool finish(bool started) {
    if (started && failure)
      std::rethrow_exception(failure);
    return started;
  }
};

}  // namespace quadrel
