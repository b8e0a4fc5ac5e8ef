// What a command handler gets: the parsed line, the run's labels and options,
// and helpers that append its blocks to the result text.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/script/executor.h"
#include "core/text/u16.h"

namespace quadrel {

struct Engine;

struct RunLabels {
  Text number = u"Number =";
  Text vector = u"Vector: ";
  Text matrix = u"Matrix: ";
  Text result = u" Result => ";
  Text stored = u" Stored => ";
};

struct CommandContext {
  Engine& e;
  const ExecOptions& options;
  const RunLabels& labels;
  RunCounters& counters;
  Text& result;
  int32_t lineNumber;  // 1-based position in the given text
  Text name;           // lower-cased command name
  TextView params;     // between the brackets after the name
  TextView args;       // after the first "=", trimmed
  TextView line;       // the whole line, trimmed
  // The script's lines and the 0-based index of the next one to run, for a
  // command that reads the lines after its own (DimX).
  const std::vector<TextView>* lines = nullptr;
  int64_t* cursor = nullptr;
  // The last result text R the command showed (kept with collectValues).
  Text shown;
  bool showed = false;
  std::optional<double> shownNumber;  // set by formulas whose value is a number

  // Header line "Ln j: " + body + "\r\n", left out for a success when only
  // results are asked for.
  void header(TextView body, bool failed);
  // label + R + "\r\n\r\n"
  void resultLine(TextView label, TextView r);
  // Counts a failure with evaluator code c and gives its error text.
  Text failure(int32_t code);
  // Counts a failure with a file status code and gives its error text.
  Text statusFailure(int32_t status);
};

// The error text of an evaluator code: "===> ERROR n. = c: description".
Text errorText(int32_t code);
// The 20 blanks of a header without an output file.
inline constexpr TextView kNoOutputNote = u"                    ";

}  // namespace quadrel
