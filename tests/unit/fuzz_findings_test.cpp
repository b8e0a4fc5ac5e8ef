// Inputs the formula fuzzer found failing, kept as regressions.
#include <gtest/gtest.h>

#include "core/engine.h"
#include "core/eval/evaluator.h"
#include "core/eval/store_ops.h"
#include "core/ground/error_table.h"
#include "exports/eval_answer.h"
#include "platform/headless/headless_platform.h"

using namespace quadrel;

// A cycle met while expanding user functions (no check first) is reported
// with the formula as given; the report must not read the last token of the
// previous, longer formula out of it.
TEST(FuzzFindings, CycleDuringExpansionAfterLongerFormula) {
  HeadlessPlatform p;
  Engine e(p);
  double r = 0;
  // Stops at the trailing number, which stays the current token.
  ASSERT_EQ(evalAnswer(evaluate(e, u"1+2+3+4+5+6+7+8+9 99", false), &r), kErrEvaluatorSyntax);
  defineEntry(e, u"f", u"1+f", true);
  EXPECT_EQ(evalAnswer(evaluate(e, u"f", false), &r), kErrAmbiguousFunction);
  EXPECT_NE(e.errors.log.find(u"Funct: f"), Text::npos);
  EXPECT_NE(e.errors.extendedInfo.find(u"expression  : f\r\n"), Text::npos) << toUtf8(e.errors.extendedInfo);
  EXPECT_EQ(deEvalAnswer(evaluateAllowingInfinity(e, u"f", false)), double(kErrAmbiguousFunction));
}
