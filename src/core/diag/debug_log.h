// Procedure log lines of the plug-in, the debug start, the general trace
// file writer, and the version and about texts.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// "Proc: " + name padded or cut to 20 characters + text, to the debug
// output while the plug-in log is on.
void procedureLog(Engine& e, TextView procedureName, TextView text);
Text procedureLine(TextView procedureName, TextView text);

// Run when the plug-in log is switched on.
void debugStart(Engine& e);

// Appends (mode 0) or writes anew (other modes) a line to the trace file;
// mode 2 sends it to the debug output instead.
void debugF(Engine& e, TextView text, int mode, bool off);

// Lets waiting window messages through; writes a trace line first when text
// or number is given.
int doEvents(Engine& e, TextView text, int number);

// The version of the library file as "a.b.c.d"; false when none.
bool libraryVersion(Engine& e, Text& fileVersion, Text& productVersion);
// The about text; shown in a box for flag 0, handed back for flag 1.
Text aboutText(Engine& e, bool returnOnly);

}  // namespace quadrel
