#include "core/eval/evaluator_port.h"

#include "core/engine.h"
#include "core/eval/compiled_formula.h"
#include "core/eval/evaluator.h"
#include "core/eval/store_ops.h"

namespace quadrel {

namespace {

class SamplerPoints final : public PointSampler {
 public:
  SamplerPoints(Engine& e, TextView formula, TextView variable) : sampler_(e, formula, variable) {}
  SampleOutcome evaluate(double x) override { return sampler_.evaluate(x); }
  void finish() override { sampler_.finish(); }

 private:
  FormulaSampler sampler_;
};

class EvaluatorPort final : public FormulaPort {
 public:
  explicit EvaluatorPort(Engine& e) : e_(e) {}
  EvalOutcome evaluate(TextView formula) override { return quadrel::evaluate(e_, formula, false); }
  EvalOutcome evaluateAllowingInfinity(TextView formula) override {
    return quadrel::evaluateAllowingInfinity(e_, formula, false);
  }
  void setVariable(TextView name, TextView value) override { defineEntry(e_, name, value, false); }
  bool evaluating() const override { return e_.eval.inProgress; }
  std::unique_ptr<PointSampler> sampler(TextView formula, TextView variable) override {
    return std::make_unique<SamplerPoints>(e_, formula, variable);
  }

 private:
  Engine& e_;
};

}  // namespace

std::unique_ptr<FormulaPort> makeEvaluatorPort(Engine& e) { return std::make_unique<EvaluatorPort>(e); }

}  // namespace quadrel
