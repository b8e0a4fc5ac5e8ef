// Reading and writing the editor's text through the editing component's
// messages. Texts cross in the document's own encoding (UTF-8 documents as
// UTF-8, others in the ANSI code page); positions are byte positions.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel::plugin {

HWND getEdit();
int32_t getCurLineNr(int32_t* columnOut, bool useSelectionEnd);
Text getSelection();
Text getFileName();
// getInsertPos's flag: the line at the end of the selection is empty or not.
constexpr int kInsertLineEmpty = -1;
constexpr int kInsertLineHasText = 1;
// The end of the line at the end of the selection; flagOut (when not null)
// receives kInsertLineEmpty or kInsertLineHasText.
intptr_t getInsertPos(int* flagOut);
Text getLineText(int32_t line);
Text removeComments(TextView text);
Text trimPattern(TextView text, TextView pattern, bool ignoreCase);
intptr_t findInTarget(HWND view, intptr_t start, intptr_t end, int flags, TextView text);
// The statement "Eval Expression To Wnd" runs; bare when it is the caret's
// line holding a formula without command word (it runs as "Expr = " + text).
struct Statement {
  Text text;
  bool bare = false;
};
Statement getStatementBeforeCaret();
// The document's text from first up to last (byte positions).
Text textRange(HWND view, intptr_t first, intptr_t last);
void insertResult(TextView text, bool ensureLineEnd);
// The result file of a run of the file at path: Result.otm in its folder.
Text resultFileOf(TextView path);
// Asks the editor to reload the result file when it has it open; with
// openWhenClosed it is also opened (or brought forward when open).
void reloadResultFile(TextView path, bool openWhenClosed);

// Conversions at the editor boundary.
Text fromDocument(HWND view, const char* bytes, size_t length);
std::string toDocument(HWND view, TextView text);

}  // namespace quadrel::plugin
