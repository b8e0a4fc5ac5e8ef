// Shared helpers of the evaluator tests: a fresh engine on the headless
// platform per test, and short ways to evaluate a formula.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

#include "core/engine.h"
#include "core/eval/evaluator.h"
#include "core/eval/store_ops.h"
#include "core/ground/error_report.h"
#include "core/ground/error_table.h"
#include "core/text/number_text.h"
#include "core/text/u16.h"
#include "exports/eval_answer.h"
#include "platform/headless/headless_platform.h"

namespace quadrel {

// Lets GoogleTest print UTF-16 texts readably in failure messages.
inline void PrintTo(const Text& t, std::ostream* os) { *os << '"' << toUtf8(t) << '"'; }

namespace testing_support {

// What one evaluation gave: its code (0 number, 1 matrix, or an error code)
// and the value written through the result pointer.
struct Outcome {
  int32_t code;
  double value;
};

constexpr double kUntouched = -12345.678;

class EngineTest : public ::testing::Test {
 protected:
  HeadlessPlatform platform;
  Engine e{platform};

  // e_eval with the check on; the value stays kUntouched when nothing is written.
  Outcome eval(TextView formula, bool check = true) {
    double r = kUntouched;
    int32_t code = evalAnswer(evaluate(e, formula, check), &r);
    return {code, r};
  }

  // The value of a formula that must evaluate to a number.
  double value(TextView formula) {
    Outcome o = eval(formula);
    EXPECT_EQ(o.code, 0) << "formula " << toUtf8(formula) << " failed";
    return o.value;
  }

  // The code a formula that must fail fails with; the value must stay unwritten.
  int32_t failure(TextView formula, bool check = true) {
    Outcome o = eval(formula, check);
    EXPECT_EQ(o.value, kUntouched) << "a failing evaluation wrote a value for " << toUtf8(formula);
    return o.code;
  }

  // de_eval: the value, or the error code as a double.
  double deEval(TextView formula, bool check = true) {
    return deEvalAnswer(evaluateAllowingInfinity(e, formula, check));
  }

  void setVar(TextView name, TextView text) { defineEntry(e, name, text, false); }
  void setFunction(TextView name, TextView body) { defineEntry(e, name, body, true); }

  const Text& log() const { return e.errors.log; }
};

// The number of times needle occurs in haystack.
inline size_t occurrences(TextView haystack, TextView needle) {
  size_t n = 0;
  for (size_t at = haystack.find(needle); at != TextView::npos; at = haystack.find(needle, at + needle.size())) ++n;
  return n;
}

inline Text repeat(TextView piece, size_t times) {
  Text r;
  r.reserve(piece.size() * times);
  for (size_t k = 0; k < times; ++k) r.append(piece);
  return r;
}

// A text of the log with the source line numbers of reports replaced by "#",
// since those only point into our own sources.
inline Text withoutLineNumbers(TextView log) {
  Text r;
  const TextView marker = u"(Line: ";
  size_t i = 0;
  while (i < log.size()) {
    size_t at = log.find(marker, i);
    if (at == TextView::npos) {
      r.append(log.substr(i));
      break;
    }
    r.append(log.substr(i, at - i + marker.size()));
    size_t j = at + marker.size();
    if (j < log.size() && log[j] == u'-')
      ++j;
    while (j < log.size() && isDigit(log[j])) ++j;
    r.push_back(u'#');
    i = j;
  }
  return r;
}

}  // namespace testing_support
}  // namespace quadrel
