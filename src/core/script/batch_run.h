// The batch run: the executor wrapped with the header block, summary and log
// line; and the log sink used around runs.
#pragma once

#include <cstdint>

#include "core/script/executor.h"
#include "core/text/u16.h"

namespace quadrel {

struct Engine;

struct BatchOptions {
  Text inputFile, outputFile, savePlotPath;
  int32_t decimals = 4;
  Text header;  // the caller's information block, or empty
  bool noHeader = false;
  int32_t logMode = 0;  // 0 none, 1 log file
  ExecOptions exec;
};

// Runs the process-wide script text and replaces it by the result text;
// gives the result's length.
size_t batchRun(Engine& e, const BatchOptions& options);

// The log sink: mode 1 log file, 2 messages window, other nothing. Gives 1
// after a file line (-1 when no log file is named or it cannot be written),
// the window's line number after a window line, 0 otherwise and on reset.
int32_t writeLogLine(Engine& e, TextView text, int32_t mode, TextView fileName, bool reset);

// The progress window: with show, a text (or, when text is empty, a bar of
// "|" with the percentage done), handling waiting window messages; without,
// closes the window when open.
void showProgress(Engine& e, float done, float total, bool show, TextView text);
// The bar text for done of total: "|" for the part done of capacity, eight
// blanks, the percentage with one decimal and " %".
Text progressBar(float done, float total, int capacity);

// Local date and time as dd/mm/yyyy - hh:mm:ss.
Text timeStamp(Engine& e);

// The closing line of a file run, exactly 84 characters.
Text closingLine(Engine& e, uint64_t milliseconds);

}  // namespace quadrel
