// Differentiation commands: sDiff and sDiffF.
#include "core/diff/differentiate.h"
#include "core/engine.h"
#include "core/ground/error_table.h"
#include "core/script/command_context.h"
#include "core/script/commands.h"
#include "core/script/file_arguments.h"

namespace quadrel {

namespace {

// Header "f(variable) = formula:" + note, then "f'(variable) => " + R.
// Gives R.
Text runDiff(CommandContext& c, TextView variable, TextView formula, TextView note) {
  Text answer;
  Text r;
  const bool ok = differentiate(c.e, formula, variable, answer);
  // A division by zero still writes the text, but the code stands.
  r = ok && c.e.errors.code == kNoError ? answer : c.failure(c.e.errors.code);
  Text body = u"f(" + Text(variable) + u") = " + Text(formula) + u":";
  body.append(note);
  c.header(body, !ok);
  c.resultLine(u"f'(" + Text(variable) + u") => ", r);
  return r;
}

}  // namespace

void commandSDiff(CommandContext& c) {
  // sDiff(variable) = formula
  runDiff(c, trimWhite(c.params), c.args, {});
}

void commandSDiffF(CommandContext& c) {
  // sDiffF = inputFile [outputFile]; the file holds a whole sDiff line.
  const FileArguments files = fileArguments(c.args);
  const Text line = cmdFileIO(c.e, files.input, u"fileinp", u"");
  const TextView text = line;
  const size_t eq = text.find(u'=');
  const TextView head = text.substr(0, eq);
  TextView variable;
  if (size_t open = head.find(u'('); open != TextView::npos) {
    const size_t close = head.find(u')', open + 1);
    variable = trimWhite(head.substr(open + 1, close == TextView::npos ? TextView::npos : close - open - 1));
  }
  const TextView formula = eq == TextView::npos ? TextView() : trimWhite(text.substr(eq + 1));
  const Text r = runDiff(c, variable, formula, files.note);
  if (!files.output.empty())
    cmdFileIO(c.e, files.output, u"fileout", r);
}

}  // namespace quadrel
