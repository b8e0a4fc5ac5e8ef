// Whether a line typed by a user is a command or a bare expression: the rule
// the editor's evaluation and the quadrel program's -e and interactive lines
// share. Script files do not use it; their lines follow the script rules.
#pragma once

#include "core/text/u16.h"

namespace quadrel {

struct LineKind {
  bool isCommand = false;  // the first word names a command the executor knows
  // The catalogue entry of that word; the last entry for a command the
  // catalogue does not list and for a bare expression.
  int catalogueIndex = 0;
};

// Looks at the first word of text (letters, digits and "_").
LineKind lineKind(TextView text);

// The line as the executor runs it: a bare expression gets "Expr = " in
// front; a command, a comment ("'") and an empty line stay as they are.
Text asScriptLine(TextView text);

}  // namespace quadrel
