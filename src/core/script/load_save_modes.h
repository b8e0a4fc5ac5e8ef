// The file entry of the library by mode number, for the LoadSaveFile export:
// each mode is one of the script file operations applied to the script text,
// with its status in the script state.
#pragma once

#include <cstdint>

namespace quadrel {

struct Engine;

// Modes: 1 log file, 2 command list, 6 input file (each into the script
// text), 4 a chosen file name (into the script text), 7 the script text to
// the output file, 8 the script text to a chosen file. Gives the status.
int32_t loadSaveFile(Engine& e, int mode);

}  // namespace quadrel
