// Read-only information reports: help, memory, commands, log file, flags,
// about, and the view of the error and debug logs.
#pragma once

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// The information block: its lines joined by "\r\n", with no line end after
// the last one (a line of 75 "-"). The long form (about) adds the
// acknowledgement and description lines; commented puts "'" before every line.
Text informationBlock(Engine& e, bool longForm, bool commented);

// The help screen: the commented block, then the option lines.
Text helpReport(Engine& e);
// Variables, user functions and matrices.
Text memoryReport(Engine& e);
// The run settings, one per line.
Text flagsReport(Engine& e);
// The command list file "ShowCmds.otm" (read into the script text).
Text commandsReport(Engine& e);
// The log file of the runs (read into the script text).
Text logFileReport(Engine& e);
// The long information block.
Text aboutReport(Engine& e);

// Shows a report line by line in a fresh messages window.
void showReport(Engine& e, TextView text);

// The debug log (the message channel's log) or the error log: shown, or,
// when longer than 100000 characters, viewed, copied or saved as the user
// answers.
enum class LogSource { Debug, Errors };
void viewLog(Engine& e, LogSource source);

}  // namespace quadrel
