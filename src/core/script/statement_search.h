// Which text the editor's "evaluate the statement before the caret" runs:
// the caret's line when it is a bare formula, else the text from the nearest
// command word above the caret up to the caret. The document is read line
// by line, each line once, so a long document costs one pass.
#pragma once

#include <cstdint>
#include <functional>

#include "core/text/u16.h"

namespace quadrel {

struct TextPlace {
  int64_t line = 0;    // 0-based
  int64_t column = 0;  // UTF-16 index in the line's text
  friend auto operator<=>(const TextPlace&, const TextPlace&) = default;
};

enum class StatementKind {
  None,      // nothing to evaluate
  Command,   // from a command word up to the caret
  BareLine,  // the caret's line, a formula without command word
};

struct StatementStart {
  StatementKind kind = StatementKind::None;
  TextPlace start;
  TextPlace end;  // the caret, or the end of a bare line
};

// Reads the text of line k (0-based), without its line end.
using LineReader = std::function<Text(int64_t line)>;

// Where the statement before the caret starts. A command word counts when it
// stands as a whole word (any case) and is one of the catalogue's entries up
// to "Var"; a comment ("'") ends the searched range; a caret inside a line
// starts the search one line up. The search never goes above a line of a
// result block that a run wrote into the document.
StatementStart findStatementStart(TextPlace caret, bool caretAtLineEnd, const LineReader& lineText);

// True for a line a run writes into a result block: a header ("Ln 3: EXPR =
// 2+3:", "EXPR = 6*7:"), a result (" Result => ...", " Stored => ...") or an
// error line ("===> ERROR ...").
bool isResultBlockLine(TextView line);

}  // namespace quadrel
