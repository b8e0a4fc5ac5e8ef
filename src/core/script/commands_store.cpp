// Store commands: Var, Funct, FunctF, VarPolyn and Show.
#include "core/engine.h"
#include "core/eval/builtins.h"
#include "core/eval/store_ops.h"
#include "core/ground/error_report.h"
#include "core/ground/error_table.h"
#include "core/script/command_context.h"
#include "core/script/commands.h"
#include "core/script/matrix_results.h"
#include "core/text/number_text.h"

namespace quadrel {

namespace {

// "name ; value": the name before the first ";", the value after it.
void splitNameValue(TextView args, TextView& name, TextView& value) {
  const size_t semi = args.find(u';');
  name = trimWhite(args.substr(0, semi));
  value = semi == TextView::npos ? TextView() : args.substr(semi + 1);
}

}  // namespace

void commandVar(CommandContext& c) {
  TextView name, raw;
  splitNameValue(c.args, name, raw);
  // Blanks go and a decimal comma reads as a point: "2,5" is 2.5, "1 E5" is 1e5.
  Text value;
  for (char16_t ch : raw)
    if (ch != u' ' && ch != u'\t')
      value.push_back(ch == u',' ? u'.' : ch);
  double number;
  if (!keyName(name).empty() && parseCompleteNumber(value, number)) {
    defineEntry(c.e, name, value, false);
    return;
  }
  // Not a number: reported like a failing matrix definition, nothing stored.
  fail(c.e, {kErrInvalidArgument, u"Var", 330, u"Var Name = " + Text(name) + u", Value = " + Text(raw) + u"\r\n"},
       Pending::Replaced);
  c.header(u"Expression = " + Text(c.args) + u": " + Text(kNoOutputNote), true);
  c.resultLine(c.labels.result, c.failure(kErrInvalidArgument));
}

void commandFunct(CommandContext& c) {
  TextView name, body;
  splitNameValue(c.args, name, body);
  defineEntry(c.e, name, body, true);
}

void commandFunctF(CommandContext& c) {
  // FunctF = name inputFile
  const TextView all = trimWhite(c.args);
  const size_t space = all.find(u' ');
  const TextView name = all.substr(0, space);
  const Text input = space == TextView::npos ? Text() : stripBrackets(trimWhite(all.substr(space + 1)));
  const Text body = cmdFileIO(c.e, input, u"fileinp", u"");
  if (trimWhite(body).empty()) {
    // The failure counts; the command writes no lines.
    c.statusFailure(c.e.script.status);
    return;
  }
  defineEntry(c.e, name, body, true);
}

void commandVarPolyn(CommandContext& c) { c.e.script.polynomialVariable = Text(trimWhite(c.args)); }

void commandShow(CommandContext& c) {
  const TextView name = trimWhite(c.params);
  Engine& e = c.e;
  Text r;
  if (const NamedEntry* v = findEntry(e, name, false)) {
    r = u"Number " + Text(name) + u" = " + fixedText(v->value, e.script.decimals);
  } else if (const NamedEntry* f = findEntry(e, name, true)) {
    // The whole body is shown, however long.
    r = u"Function " + Text(name) + u" = " + f->text;
  } else if (double value; getConstant(e, name, &value)) {
    r = u"Constant " + Text(name) + u" = " + fixedText(value, e.script.decimals);
  } else {
    r = showMatrixText(c, name);
  }
  if (!c.options.resultsOnly) {
    c.result.append(u"Ln " + intText(c.lineNumber) + u": Show(");
    c.result.append(name);
    c.result.append(u")");
  }
  c.resultLine(u" => ", r);
}

}  // namespace quadrel
