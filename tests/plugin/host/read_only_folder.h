// The read-only plug-in folder of an installation under Program Files, for a
// host that runs with rights to write everywhere: the plug-in's own imports
// of the file functions are redirected so that every attempt of the plug-in
// to create or write a file inside the folder fails with "access denied".
#pragma once

#include <windows.h>

#include <string>

namespace host {

// Patches the import table of the loaded plug-in; folder ends with "\".
bool refuseWritesInto(HMODULE plugin, const std::wstring& folder, std::string& error);

// The number of writes refused so far.
int refusedWrites();

}  // namespace host
