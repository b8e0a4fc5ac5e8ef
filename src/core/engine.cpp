#include "core/engine.h"

#include "core/eval/evaluator_port.h"
#include "platform/platform.h"

namespace quadrel {

Engine::Engine(Platform& p) : platform(p), formulas(makeEvaluatorPort(*this)) {
  // Seed the generator behind rnd from the clock and this object's address.
  eval.randomState = p.tickMs() * 0x9E3779B97F4A7C15ull ^ reinterpret_cast<uintptr_t>(this);
  eval.aggregateValues.reserve(16);
}

}  // namespace quadrel
