// How the program and the library on Linux name themselves: by their own
// file names and the date they were built, not as the Windows plug-in.
#pragma once

#include "platform/platform.h"

namespace quadrel {

ProductNames linuxProgramNames();  // the quadrel program
ProductNames linuxLibraryNames();  // libquadrel.so

// The build date, as YYYY-MM-DD.
TextView buildDate();

}  // namespace quadrel
