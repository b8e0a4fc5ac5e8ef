#include "plugin/editor_access.h"

#include <string>
#include <vector>

#include "core/engine.h"
#include "core/script/statement_search.h"
#include "platform/platform.h"
#include "plugin/document_states.h"
#include "plugin/host_interface.h"
#include "plugin/plugin_state.h"

namespace quadrel::plugin {

namespace {

LRESULT sci(HWND view, UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageW(view, msg, wp, lp); }

bool isUtf8Document(HWND view) { return sci(view, SCI_GETCODEPAGE) == kUtf8CodePage; }

Text handleText(const void* h) { return intText(int64_t(reinterpret_cast<uintptr_t>(h))); }

}  // namespace

Text textRange(HWND view, intptr_t first, intptr_t last) {
  if (last <= first)
    return Text();
  std::vector<char> buffer(size_t(last - first) + 1, '\0');
  // The record with pointer-sized positions, read the same way by the
  // editor's component in 32- and 64-bit builds.
  SciTextRangeFull range{first, last, buffer.data()};
  if (sci(view, SCI_GETTEXTRANGEFULL, 0, reinterpret_cast<LPARAM>(&range)) <= 0) {
    // A component too old for that record: byte by byte, with no record at all.
    for (intptr_t p = first; p < last; ++p) buffer[size_t(p - first)] = char(sci(view, SCI_GETCHARAT, WPARAM(p)));
  }
  return fromDocument(view, buffer.data(), strnlen(buffer.data(), buffer.size()));
}

Text fromDocument(HWND view, const char* bytes, size_t length) {
  std::string_view s(bytes, length);
  if (isUtf8Document(view))
    return fromUtf8(s);
  return pluginEngine().platform.ansiToText(s);
}

std::string toDocument(HWND view, TextView text) {
  if (isUtf8Document(view))
    return toUtf8(text);
  return pluginEngine().platform.textToAnsi(text);
}

HWND getEdit() {
  PluginState& s = pluginState();
  int which = -1;
  SendMessageW(s.npp.nppHandle, NPPM_GETCURRENTSCINTILLA, 1, reinterpret_cast<LPARAM>(&which));
  s.currentEditView = which == kMainView ? s.npp.scintillaMainHandle : s.npp.scintillaSecondHandle;
  plog(u"getEdit()", u": currentEditView = " + handleText(s.currentEditView));
  return s.currentEditView;
}

int32_t getCurLineNr(int32_t* columnOut, bool useSelectionEnd) {
  HWND view = getEdit();
  const LRESULT pos = sci(view, useSelectionEnd ? SCI_GETSELECTIONEND : SCI_GETSELECTIONSTART);
  const LRESULT column = sci(view, SCI_GETCOLUMN, WPARAM(pos));
  const LRESULT line = sci(view, SCI_LINEFROMPOSITION, WPARAM(pos));
  plog(u"getCurLineNr()", u": LineNr = " + intText(line));
  if (columnOut)
    *columnOut = int32_t(column);
  return int32_t(line + 1);
}

Text getSelection() {
  PluginState& s = pluginState();
  HWND view = getEdit();
  const LRESULT n = sci(view, SCI_GETSELTEXT);
  std::vector<char> buffer(size_t(n > 0 ? n : 0) + 1, '\0');
  sci(view, SCI_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer.data()));
  s.currentSelection = fromDocument(view, buffer.data(), strnlen(buffer.data(), buffer.size()));
  s.currentSelectionSize = int32_t(n);
  plog(u"getSelection()", u": currentSelection = " + s.currentSelection);
  return s.currentSelection;
}

constexpr size_t kLongestPath = 32767;

Text getFileName() {
  PluginState& s = pluginState();
  // Room for the longest path Windows knows (32767 characters), so that a
  // name past 255 characters is kept whole.
  std::vector<wchar_t> buffer(kLongestPath + 1, L'\0');
  if (!SendMessageW(s.npp.nppHandle, NPPM_GETFULLCURRENTPATH, WPARAM(buffer.size()),
                    reinterpret_cast<LPARAM>(buffer.data())))
    buffer[0] = 0;
  buffer.back() = 0;
  s.currentFileName.clear();
  for (const wchar_t* p = buffer.data(); *p; ++p) s.currentFileName.push_back(char16_t(*p));
  plog(u"getFileName()", u": currentFileName = " + s.currentFileName);
  return s.currentFileName;
}

intptr_t getInsertPos(int* flagOut) {
  HWND view = getEdit();
  const LRESULT end = sci(view, SCI_GETSELECTIONEND);
  LRESULT line = sci(view, SCI_LINEFROMPOSITION, WPARAM(end));
  // A selection that ends at the start of a line (Shift+Down) ends with the
  // line before: that line is the last one selected.
  if (line > 0 && end > sci(view, SCI_GETSELECTIONSTART) && end == sci(view, SCI_POSITIONFROMLINE, WPARAM(line)))
    --line;
  const LRESULT start = sci(view, SCI_POSITIONFROMLINE, WPARAM(line));
  const LRESULT lineEnd = sci(view, SCI_GETLINEENDPOSITION, WPARAM(line));
  if (flagOut)
    *flagOut = start == lineEnd ? kInsertLineEmpty : kInsertLineHasText;
  plog(u"getInsertPos()", u": Line End Pos = " + intText(lineEnd));
  return lineEnd;
}

Text getLineText(int32_t line) {
  HWND view = pluginState().currentEditView ? pluginState().currentEditView : getEdit();
  const LRESULT n = sci(view, SCI_LINELENGTH, WPARAM(line));
  std::vector<char> buffer(size_t(n > 0 ? n : 0) + 1, '\0');
  sci(view, SCI_GETLINE, WPARAM(line), reinterpret_cast<LPARAM>(buffer.data()));
  return fromDocument(view, buffer.data(), size_t(n > 0 ? n : 0));
}

Text removeComments(TextView text) {
  Text t(text);
  for (;;) {
    const size_t q = t.find(u'\'');
    if (q == Text::npos)
      break;
    size_t end = t.find(u"\r\n", q);
    if (end == Text::npos)
      end = t.size();
    const Text piece = t.substr(q, end - q);
    size_t at;
    while ((at = t.find(piece)) != Text::npos) t.erase(at, piece.size());
  }
  return t;
}

Text trimPattern(TextView text, TextView pattern, bool ignoreCase) {
  Text t = ignoreCase ? toLower(text) : Text(text);
  const Text p = ignoreCase ? toLower(pattern) : Text(pattern);
  if (p.empty())
    return t;
  size_t start = 0;
  while (t.compare(start, p.size(), p) == 0) start += p.size();
  size_t end = t.size();
  while (end >= start + p.size() && t.compare(end - p.size(), p.size(), p) == 0) end -= p.size();
  return t.substr(start, end - start);
}

intptr_t findInTarget(HWND view, intptr_t start, intptr_t end, int flags, TextView text) {
  sci(view, SCI_SETTARGETSTART, WPARAM(start));
  sci(view, SCI_SETTARGETEND, WPARAM(end));
  sci(view, SCI_SETSEARCHFLAGS, WPARAM(flags));
  const std::string bytes = toDocument(view, text);
  return SendMessageA(view, SCI_SEARCHINTARGET, WPARAM(bytes.size()), reinterpret_cast<LPARAM>(bytes.c_str()));
}

Statement getStatementBeforeCaret() {
  HWND view = getEdit();
  const LRESULT caret = sci(view, SCI_GETCURRENTPOS);
  const LRESULT caretLine = sci(view, SCI_LINEFROMPOSITION, WPARAM(caret));
  const LRESULT caretLineStart = sci(view, SCI_POSITIONFROMLINE, WPARAM(caretLine));
  const bool atEnd = caret == sci(view, SCI_GETLINEENDPOSITION, WPARAM(caretLine));
  auto lineText = [view](int64_t line) {
    return textRange(view, sci(view, SCI_POSITIONFROMLINE, WPARAM(line)),
                     sci(view, SCI_GETLINEENDPOSITION, WPARAM(line)));
  };
  const TextPlace caretPlace{caretLine, int64_t(textRange(view, caretLineStart, caret).size())};
  const StatementStart found = findStatementStart(caretPlace, atEnd, lineText);
  if (found.kind == StatementKind::None)
    return {};
  // Back from a place in a line's text to the document's byte position.
  auto position = [&](TextPlace place) -> intptr_t {
    const intptr_t start = sci(view, SCI_POSITIONFROMLINE, WPARAM(place.line));
    const Text text = lineText(place.line);
    return start + intptr_t(toDocument(view, TextView(text).substr(0, size_t(place.column))).size());
  };
  const intptr_t first = position(found.start);
  const intptr_t last = found.kind == StatementKind::BareLine ? position(found.end) : intptr_t(caret);
  if (last <= first)
    return {};
  return {textRange(view, first, last), found.kind == StatementKind::BareLine};
}

void insertResult(TextView input, bool ensureLineEnd) {
  PluginState& s = pluginState();
  Text text(trimBlanks(trimPattern(input, u"\r\n", false)));
  if (text.empty()) {
    MessageBoxW(s.npp.nppHandle, L"No output!", L"Evaluator", MB_OK);
    return;
  }
  HWND view = getEdit();
  auto endsWithCrLf = [&] { return text.size() >= 2 && text.compare(text.size() - 2, 2, u"\r\n") == 0; };
  if (ensureLineEnd && !endsWithCrLf())
    text.append(u"\r\n");
  int flag = kInsertLineHasText;
  const intptr_t end = getInsertPos(&flag);
  if (s.summary && s.hideExprLine) {
    const TextView tail = TextView(text).substr(text.size() > 4 ? text.size() - 4 : 0);
    if (tail.find(u'=') == TextView::npos)
      text.insert(0, u" = ");
  }
  if (flag == kInsertLineHasText && text.compare(0, 2, u"\r\n") != 0 && !s.summary) {
    text.insert(0, u"\r\n");
  } else if (flag == kInsertLineEmpty && !endsWithCrLf()) {
    text.append(u"\r\n");
  }
  sci(view, SCI_GOTOPOS, WPARAM(end));
  const std::string bytes = toDocument(view, text);
  SendMessageA(view, SCI_INSERTTEXT, WPARAM(-1), reinterpret_cast<LPARAM>(bytes.c_str()));
}

Text resultFileOf(TextView path) {
  const size_t cut = path.find_last_of(u"\\/");
  Text target = cut == TextView::npos ? Text() : Text(path.substr(0, cut + 1));
  target.append(u"Result.otm");
  return target;
}

namespace {

// Whether reloading the document at path could lose edits. The current
// document is asked directly; a background tab by the plug-in's record, and
// one the plug-in has not seen since it loaded counts as possibly edited.
bool mayHoldUnsavedEdits(TextView path) {
  if (equalsIgnoreCase(getFileName(), path))
    return sci(getEdit(), SCI_GETMODIFY) != 0;
  return editStateOf(path) != EditState::Saved;
}

}  // namespace

void reloadResultFile(TextView path, bool openWhenClosed) {
  const Text target = resultFileOf(path);
  const std::wstring w(target.begin(), target.end());
  HWND npp = pluginState().npp.nppHandle;
  // The editor reloads only a document it has open, matched by its exact
  // path. An unchanged result document is reloaded without a question,
  // before the editor's own check finds it changed on disk and asks; one
  // that may hold edits is reloaded only after the editor's question.
  const WPARAM alert = mayHoldUnsavedEdits(target) ? 1 : 0;
  {
    ReloadInProgress reload(target);
    SendMessageW(npp, NPPM_RELOADFILE, alert, reinterpret_cast<LPARAM>(w.c_str()));
  }
  if (openWhenClosed)
    SendMessageW(npp, NPPM_DOOPEN, 0, reinterpret_cast<LPARAM>(w.c_str()));
}

}  // namespace quadrel::plugin
