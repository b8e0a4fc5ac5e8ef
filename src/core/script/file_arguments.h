// The arguments of the commands that read their line from a file
// ("ExprF = inputFile [outputFile]" and its kin).
#pragma once

#include "core/text/u16.h"

namespace quadrel {

struct FileArguments {
  Text input;   // the first word, brackets stripped
  Text output;  // the rest, trimmed and brackets stripped; may be empty
  // The header note: blanks without an output file, else "=>(" + the
  // arguments + ")".
  Text note;
};

FileArguments fileArguments(TextView args);

}  // namespace quadrel
