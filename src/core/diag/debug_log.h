// Procedure log lines of the plug-in, the debug start, the general trace
// file writer, and the version and about texts.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

struct Engine;
struct LocalTime;

// "Proc: " + name padded or cut to 20 characters + text, to the debug
// output while the plug-in log is on. While the debug file path is set, the
// line is also appended to that file (UTF-8, one line each).
void procedureLog(Engine& e, TextView procedureName, TextView text);
Text procedureLine(TextView procedureName, TextView text);

// Run when the plug-in log is switched on: empties the debug file and logs
// the commented information block (its lines given by the caller, who owns
// the reports), the start time, the file name and a dashed line.
void debugStart(Engine& e, TextView informationBlock);

// dd/mm/yyyy + between + hh:mm:ss, every field two digits, the year four.
Text dateTimeText(const LocalTime& time, TextView between);

// The file and product versions of a file (the library's own file for an
// empty path) as "a.b.c.d"; false when the file has none.
bool fileVersionText(Engine& e, TextView path, Text& fileVersion, Text& productVersion);
// The version of the library file as "a.b.c.d"; false when none.
bool libraryVersion(Engine& e, Text& fileVersion, Text& productVersion);
// The about text; shown in a box for flag 0, handed back after its caption
// for flag 1. Kept in the engine's diag state in both cases.
Text aboutText(Engine& e, bool returnOnly);

}  // namespace quadrel
