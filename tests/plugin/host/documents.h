// The editor's open documents in the main view: the one shown and those in
// background tabs, each a document of the editing component. Buffers are
// named by that document's pointer, as the editor names them by its own ids.
// Files are read and reloaded through a hidden view, as the editor does, so
// the plug-in sees the same notifications.
#pragma once

#include <cstdint>
#include <string>

namespace host {

constexpr unsigned NPPN_FILEOPENED = 1004;
constexpr unsigned NPPN_FILESAVED = 1008;
constexpr unsigned NPPN_BUFFERACTIVATED = 1010;
constexpr unsigned NPPM_GETFULLPATHFROMBUFFERID = 2082;

uintptr_t currentBuffer();
// The path of an open buffer; false when no such buffer is open.
bool pathOfBuffer(uintptr_t buffer, std::wstring& path);
// File > Open: an open document is brought forward, else the file is read
// into a new one. False when the file cannot be read.
bool openDocument(const std::wstring& path);
// The document open under path (compared without case): its buffer, or 0.
uintptr_t bufferOfPath(const std::wstring& path);
// Reads the file again into the open document; false when none is open or
// the file cannot be read.
bool reloadDocument(const std::wstring& path);
// The editor's notification to the plug-in (beNotified), about a buffer.
void notifyPlugin(unsigned code, uintptr_t buffer);

}  // namespace host
