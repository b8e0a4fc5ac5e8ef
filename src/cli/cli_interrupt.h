// Ctrl+C in the interactive quadrel: the signal only raises a flag, which
// the line editor reads as "drop the line being typed" and a running
// evaluation as "stop" (the engine reads it through its interrupt request).
#pragma once

#include <csignal>

namespace quadrel {

// Catches SIGINT from now on (without restarting interrupted reads).
void catchInterrupts();

// The flag the handler raises; the session clears it.
volatile std::sig_atomic_t& interruptFlag();

}  // namespace quadrel
