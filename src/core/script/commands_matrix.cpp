// Matrix commands: Matr, MatrF, Vect, VectF and DimX, and the matrix texts
// that Expr, StoExpr and Show write for matrix results.
#include "core/engine.h"
#include "core/ground/error_report.h"
#include "core/ground/error_table.h"
#include "core/matrix/matrix_store_ops.h"
#include "core/matrix/matrix_text.h"
#include "core/script/command_context.h"
#include "core/script/commands.h"
#include "core/script/file_arguments.h"
#include "core/script/matrix_results.h"
#include "core/text/number_text.h"

namespace quadrel {

namespace {

// Defines a matrix from its text; on an error writes the header and the
// error line (the only lines these commands ever write).
void defineFromText(CommandContext& c, TextView text, TextView headerBody) {
  setStrMatrix(c.e, text, false, true);
  const int32_t code = c.e.errors.code;
  if (code == kNoError)
    return;
  c.header(headerBody, true);
  c.resultLine(c.labels.result, c.failure(code));
}

void defineFromArguments(CommandContext& c) {
  defineFromText(c, c.args, u"Expression = " + Text(c.args) + u": " + Text(kNoOutputNote));
}

void defineFromFile(CommandContext& c) {
  const Text text = cmdFileIO(c.e, fileArguments(c.args).input, u"fileinp", u"");
  defineFromText(c, text, u"Expression = " + text + u": " + Text(kNoOutputNote));
}

Text bracketed(TextView name) {
  Text n(trimBlanks(name));
  if (n.empty() || n.front() != u'[')
    n.insert(n.begin(), u'[');
  if (n.back() != u']')
    n.push_back(u']');
  return n;
}

// The matrix name of a DimX argument text: before the first "(".
Text dimName(TextView args) { return bracketed(args.substr(0, args.find(u'('))); }

// The arguments of a DimX line read ahead: after its first "=", without a
// trailing comment; false when the line is no DimX line.
bool dimArguments(TextView line, TextView& args) {
  if (!line.empty() && line.front() == u'\n')
    line.remove_prefix(1);
  line = line.substr(0, line.find(u'\''));
  if (!equalsIgnoreCase(trimWhite(line.substr(0, 4)), u"dimx"))
    return false;
  const size_t eq = line.find(u'=');
  args = eq == TextView::npos ? TextView() : trimWhite(line.substr(eq + 1));
  return true;
}

// Adds ";" + value for each "label = value" field after the first; the
// first empty field ends the line.
void appendDimValues(Text& definition, TextView args) {
  size_t start = args.find(u';');
  while (start != TextView::npos) {
    const size_t end = args.find(u';', start + 1);
    const TextView field = trimWhite(args.substr(start + 1, end == TextView::npos ? TextView::npos : end - start - 1));
    if (field.empty())
      return;
    const size_t eq = field.find(u'=');
    const TextView value = eq == TextView::npos ? TextView() : trimWhite(field.substr(eq + 1));
    if (!value.empty()) {
      definition.push_back(u';');
      definition.append(value);
    }
    start = end;
  }
}

}  // namespace

void commandMatr(CommandContext& c) { defineFromArguments(c); }
void commandMatrF(CommandContext& c) { defineFromFile(c); }

void commandDimX(CommandContext& c) {
  const Text name = dimName(c.args);
  const size_t open = c.args.find(u'(');
  const size_t close = open == TextView::npos ? TextView::npos : c.args.find(u')', open);
  TextView shape = open == TextView::npos
                       ? TextView()
                       : c.args.substr(open + 1, close == TextView::npos ? TextView::npos : close - open - 1);
  const size_t comma = shape.find(u',');
  const int64_t rows = leadingInteger(trimWhite(shape.substr(0, comma)));
  const int64_t cols = comma == TextView::npos ? 0 : leadingInteger(trimWhite(shape.substr(comma + 1)));
  Text definition = name + u";" + intText(rows) + u";" + intText(cols);
  appendDimValues(definition, c.args);
  // Following DimX lines of the same matrix continue the block.
  if (c.lines && c.cursor) {
    while (size_t(*c.cursor) < c.lines->size()) {
      TextView args;
      const TextView next = trimBlanks((*c.lines)[size_t(*c.cursor)]);
      if (!dimArguments(next, args) || dimName(args) != name)
        break;
      appendDimValues(definition, args);
      ++*c.cursor;
    }
  }
  defineFromText(c, definition, u"Expression = :");
}

Text matrixResultText(CommandContext& c, double handle, bool& ok) {
  int32_t rows = 0, cols = 0;
  const intptr_t address = findMatrix(c.e, addressText(reinterpret_cast<const void*>(intptr_t(handle))),
                                      kMatchAddress | kFindAddress, &rows, &cols, false);
  if (c.e.errors.code != kNoError) {
    ok = false;
    return c.failure(c.e.errors.code);
  }
  ok = true;
  Text r = cols <= 1 ? c.labels.vector : c.labels.matrix;
  r.append(matrixText(reinterpret_cast<const double*>(address), rows, cols, c.e.script.decimals, u"", u"\t"));
  return r;
}

Text storeMatrixResultText(CommandContext& c, double handle, TextView name, Text& definition, bool& ok) {
  int32_t rows = 0, cols = 0;
  const auto* data =
      reinterpret_cast<const double*>(findMatrix(c.e, addressText(reinterpret_cast<const void*>(intptr_t(handle))),
                                                 kMatchAddress | kFindAddress, &rows, &cols, false));
  if (c.e.errors.code != kNoError) {
    ok = false;
    return c.failure(c.e.errors.code);
  }
  definition = bracketed(name) + u"; " + intText(rows) + u"; " + intText(cols) + u";";
  const size_t count = size_t(rows) * size_t(cols);
  for (size_t k = 0; k < count; ++k) {
    definition.append(trimNumberText(fixedText(data[k], kFormulaDecimals)));
    definition.append(u"; ");
  }
  setStrMatrix(c.e, definition, false, true);
  if (c.e.errors.code != kNoError) {
    ok = false;
    return c.failure(c.e.errors.code);
  }
  ok = true;
  return (cols <= 1 ? c.labels.vector : c.labels.matrix) + definition;
}

Text showMatrixText(CommandContext& c, TextView shownName) {
  Engine& e = c.e;
  const Text name = bracketed(shownName);
  int32_t rows = 0, cols = 0;
  const auto* data =
      reinterpret_cast<const double*>(findMatrix(e, name, kMatchName | kFindAddress, &rows, &cols, false));
  if (e.errors.code != kNoError) {
    addReport(e, u"sEval", 304, u"Matr Name: " + name);
    return c.failure(e.errors.code);
  }
  Text r = (cols <= 1 ? c.labels.vector : c.labels.matrix) + name + u"\r\n";
  for (int32_t i = 0; i < rows; ++i) {
    for (int32_t j = 0; j < cols; ++j) {
      if (cols == 1)
        r.append(u"vE(" + intText(i) + u")=");
      else if (rows == 1)
        r.append(u"vE(" + intText(j) + u")=");
      else
        r.append(u"mA(" + intText(i) + u"," + intText(j) + u")=");
      appendFixed(r, data[size_t(i) * size_t(cols) + size_t(j)], e.script.decimals);
      r.push_back(u'\t');
    }
    r.append(u"\r\n");
  }
  return r;
}

}  // namespace quadrel
