// Arbitrary editor text down the plug-in's road: the statement before a
// caret (statement search), its kind (command word or bare formula, which
// becomes "Expr = ..."), and a run request of that text, as the editor's
// "evaluate to window" and the tool tip build it.
//
// The first two bytes place the caret (line and column, modulo the text's
// size); the rest is the document, read as fuzz_input.h says. Documents
// with words of commands that write files of their own naming or open
// windows are searched and classified but not run.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/engine.h"
#include "core/script/command_line.h"
#include "core/script/command_table.h"
#include "core/script/line_kind.h"
#include "core/script/statement_search.h"
#include "fuzz_input.h"
#include "platform/headless/headless_platform.h"

using namespace quadrel;

namespace {

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "fuzz_editor_text: %s\n", what);
  std::abort();
}

// The document's lines as the editor gives them, without line ends.
std::vector<Text> documentLines(TextView text) {
  std::vector<Text> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n') {
      lines.emplace_back();
    } else if (text[i] == u'\r') {
      if (i + 1 < text.size() && text[i + 1] == u'\n')
        ++i;
      lines.emplace_back();
    } else {
      lines.back().push_back(text[i]);
    }
  }
  return lines;
}

// The text from start to end, lines joined by CR LF.
Text statementText(const std::vector<Text>& lines, const StatementStart& s) {
  Text t;
  for (int64_t k = s.start.line; k <= s.end.line; ++k) {
    const Text& line = lines[size_t(k)];
    const size_t from = k == s.start.line ? size_t(s.start.column) : 0;
    const size_t to = k == s.end.line ? size_t(s.end.column) : line.size();
    if (from > line.size() || to > line.size() || from > to)
      fail("a statement outside its lines");
    t.append(TextView(line).substr(from, to - from));
    if (k < s.end.line)
      t.append(u"\r\n");
  }
  return t;
}

bool runsOnlyInMemory(TextView script) {
  const Text lower = toLower(script);
  for (TextView word : {u"exprf", u"integratef", u"sdifff", u"derivatef", u"fileout", u"plot", u"out"})
    if (lower.find(word) != Text::npos)
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 1 << 13)
    return 0;
  const Text document = decodeFuzzInput(data + 2, size - 2);
  const std::vector<Text> lines = documentLines(document);
  TextPlace caret;
  caret.line = int64_t(data[0] % lines.size());
  const Text& caretLine = lines[size_t(caret.line)];
  caret.column = int64_t(data[1] % (caretLine.size() + 1));
  const bool atLineEnd = size_t(caret.column) == caretLine.size();

  // Each line is read once: a long document costs one pass.
  size_t reads = 0;
  const StatementStart found = findStatementStart(caret, atLineEnd, [&](int64_t k) {
    if (k < 0 || size_t(k) >= lines.size())
      fail("a line outside the document was read");
    ++reads;
    return lines[size_t(k)];
  });
  if (reads > 2 * lines.size() + 2)
    fail("the search read lines more than once");
  if (found.kind == StatementKind::None)
    return 0;
  if (found.end.line > caret.line)
    fail("a statement that ends below the caret");
  // A command word after the caret on its line: the editor takes no text.
  if (found.start >= found.end)
    return 0;

  Text text(trimBlanks(statementText(lines, found)));
  if (text.empty())
    return 0;
  const LineKind kind = lineKind(text);
  if (kind.catalogueIndex < 0 || size_t(kind.catalogueIndex) >= commandCatalogue().size())
    fail("a classification outside the catalogue");
  if (!kind.isCommand)
    text = u"Expr = " + text;
  if (!runsOnlyInMemory(text))
    return 0;

  HeadlessPlatform platform;
  platform.fixedTime = true;
  Engine e(platform);
  e.matrix.powerWorkLimit = kFuzzPowerWorkLimit;
  RunSettings r;
  r.commandLine = u"/sel:'" + text + u"' /";
  r.selectionText = text;
  r.runSelection = true;
  r.noHeader = true;
  const int32_t status = runRequest(e, r);
  if (status > -1 || status < -5)
    fail("status outside -1 .. -5");
  return 0;
}
