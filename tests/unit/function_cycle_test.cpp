// A user function that reaches itself fails every command that evaluates with
// code 1, "Ambiguous function name": the commands take the evaluator's code,
// which never shares a number with the kind of a result.
#include <vector>

#include "core/script/command_context.h"
#include "core/script/executor.h"
#include "engine_fixture.h"
#include "temp_folder.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;

class FunctionCycle : public EngineTest {};

TEST_F(FunctionCycle, EveryCommandReportsTheCycle) {
  testing_support::TempFolder folder;
  folder.put("cycle.otm", "Expr = r\r\n");
  e.script.settings.dataFolder = folder.text();
  const Text cycle = errorText(kErrAmbiguousFunction);
  struct Row {
    const char* command;
    Text line;
    Text expected;  // a piece of the command's block
    int32_t runCode;
  };
  const Row rows[] = {
      {"Expr", u"Expr = r", u"EXPR = r: " + Text(kNoOutputNote) + u"\r\n Result => " + cycle, 2001},
      {"Hex", u"Hex = r", u"HEX = r: " + Text(kNoOutputNote) + u"\r\n Result => " + cycle, 2001},
      {"Bin", u"Bin = r", u"BIN = r: " + Text(kNoOutputNote) + u"\r\n Result => " + cycle, 2001},
      {"ExprF", u"ExprF = cycle.otm", u"EXPRF = r: " + Text(kNoOutputNote) + u"\r\n Result => " + cycle, 2001},
      {"StoExpr", u"StoExpr(x) = r", u"Expression = r: " + Text(kNoOutputNote) + u"\r\n Stored => " + cycle, 2001},
      // Show writes the body of a function and evaluates nothing.
      {"Show", u"Show(r)", u"Show(r) => Function r = r*2", 2000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    ExecOptions options;
    Text result;
    EXPECT_EQ(execCommands(e, u"Funct = r ; r*2\r\n" + row.line, result, options), row.runCode);
    EXPECT_NE(result.find(row.expected), Text::npos) << toUtf8(result);
    if (row.runCode % 1000 != 0) {
      EXPECT_EQ(e.errors.code, kErrAmbiguousFunction);
      EXPECT_EQ(result.find(errorText(kErrMatrixNotFound)), Text::npos);
    }
    EXPECT_EQ(e.variables.find(u"x"), nullptr) << "a failed StoExpr stores nothing";
  }
  // e_evals: the code of the failing points, and no point is taken.
  std::vector<double> xs(3), ys(3, -7.0);
  EXPECT_EQ(evaluateSamples(e, u"r+x", 0, u"x", 1, 2, xs.data(), ys.data(), nullptr), kErrAmbiguousFunction);
  EXPECT_EQ(ys[2], 0.0);
}

}  // namespace
}  // namespace quadrel
