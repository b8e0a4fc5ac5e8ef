// One formula evaluated at many values of one variable (integration,
// sampling, plots). By definition each point is the formula with every whole
// identifier that names the variable replaced by "(" + the abscissa's trimmed
// ten-decimal text + ")", evaluated by e_eval with the check off. The sampler
// keeps that definition, results and errors included, but parses the formula
// once: a compiled form takes the abscissa as the double the evaluator would
// read from that text. Wherever the two could differ (user functions,
// matrices, rnd, the evaluator's trace, any point that fails) the point takes
// the text path itself.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/ground/formula_port.h"
#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// The substitution text of an abscissa: "(" + trimmed ten-decimal text + ")".
Text abscissaText(double x);
// The number the evaluator reads from the substitution text of x; false when
// that text is no plain number (infinities).
bool abscissaValue(double x, double& value);

// Splits a formula around the whole identifiers spelled exactly as variable
// (as the lexer cuts tokens); the pieces go between the substitutions.
std::vector<TextView> splitAtVariable(TextView formula, TextView variable);

enum class SamplerPath : uint8_t {
  Fast,      // the compiled form wherever it is provably the same
  TextOnly,  // every point by text substitution (reference and benchmarks)
};

class FormulaSampler {
 public:
  FormulaSampler(Engine& e, TextView formula, TextView variable, SamplerPath path = SamplerPath::Fast);
  ~FormulaSampler();
  FormulaSampler(const FormulaSampler&) = delete;
  FormulaSampler& operator=(const FormulaSampler&) = delete;

  // Evaluates one point; the engine's code, result type and counters end as
  // e_eval leaves them.
  SampleOutcome evaluate(double x);
  // Call after the last point: when that point was computed by the compiled
  // form, its text is evaluated once more (not counted) so the evaluator's
  // state (lexer, expression of a later report) is exactly the text path's.
  void finish();
  // True when the formula has a compiled form (it may still fall back per point).
  bool compiled();

 private:
  struct Program;
  SampleOutcome textPath(double x);
  void compileIfStale();

  Engine& e_;
  Text formula_;
  Text variable_;
  std::vector<TextView> pieces_;
  SamplerPath path_;
  std::unique_ptr<Program> program_;
  uint64_t variablesGeneration_ = ~uint64_t(0), functionsGeneration_ = ~uint64_t(0);
  bool lastWasFast_ = false;
  double lastX_ = 0.0;
  Text text_;  // the substituted formula of the text path, reused
};

}  // namespace quadrel
