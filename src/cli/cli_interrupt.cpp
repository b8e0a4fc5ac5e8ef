#include "cli/cli_interrupt.h"

#include <signal.h>

namespace quadrel {

namespace {

// A signal handler can reach nothing but a flag of static storage.
volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int) { interrupted = 1; }

}  // namespace

void catchInterrupts() {
  struct sigaction action = {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a read waiting for a key returns
  sigaction(SIGINT, &action, nullptr);
}

volatile std::sig_atomic_t& interruptFlag() { return interrupted; }

}  // namespace quadrel
