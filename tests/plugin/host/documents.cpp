#include "documents.h"

#include <windows.h>

#include <algorithm>

#include "Scintilla.h"
#include "file_io.h"
#include "host.h"
#include "text_util.h"

namespace host {

namespace {

LRESULT scratch(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendMessageW(theHost().scratch, message, wParam, lParam);
}

// The file's text into document doc through the hidden view: unmodified,
// with no undo history, in the code page of the main view.
bool loadInto(uintptr_t doc, const std::wstring& path) {
  std::string bytes;
  if (!readFile(path, bytes))
    return false;
  const int page = codePage();
  const std::string text = toCodePage(widen(fileText(bytes)), page);
  scratch(SCI_SETDOCPOINTER, 0, LPARAM(doc));
  scratch(SCI_SETCODEPAGE, WPARAM(page));
  scratch(SCI_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  scratch(SCI_EMPTYUNDOBUFFER);
  scratch(SCI_SETSAVEPOINT);
  scratch(SCI_SETDOCPOINTER, 0, 0);  // lets go of doc
  return true;
}

// Shows document doc (held by the host) in the main view with its caret; the
// one shown before goes to the background tabs.
void show(uintptr_t doc, const std::wstring& path, intptr_t caret) {
  Host& h = theHost();
  const uintptr_t before = currentBuffer();
  sci(SCI_ADDREFDOCUMENT, 0, LPARAM(before));
  h.background.push_back({h.currentPath, before, intptr_t(sci(SCI_GETCURRENTPOS))});
  sci(SCI_SETDOCPOINTER, 0, LPARAM(doc));
  sci(SCI_RELEASEDOCUMENT, 0, LPARAM(doc));  // the view holds it now
  sci(SCI_GOTOPOS, WPARAM(caret));
  h.currentPath = path;
  notifyPlugin(NPPN_BUFFERACTIVATED, doc);
}

}  // namespace

uintptr_t currentBuffer() { return uintptr_t(sci(SCI_GETDOCPOINTER)); }

bool pathOfBuffer(uintptr_t buffer, std::wstring& path) {
  Host& h = theHost();
  if (buffer == currentBuffer()) {
    path = h.currentPath;
    return true;
  }
  for (const auto& d : h.background)
    if (d.doc == buffer) {
      path = d.path;
      return true;
    }
  return false;
}

uintptr_t bufferOfPath(const std::wstring& path) {
  Host& h = theHost();
  const std::string wanted = lower(narrow(path));
  if (!h.currentPath.empty() && lower(narrow(h.currentPath)) == wanted)
    return currentBuffer();
  for (const auto& d : h.background)
    if (lower(narrow(d.path)) == wanted)
      return d.doc;
  return 0;
}

bool openDocument(const std::wstring& path) {
  Host& h = theHost();
  if (const uintptr_t open = bufferOfPath(path)) {
    if (open == currentBuffer())
      return true;
    intptr_t caret = 0;
    for (size_t k = 0; k < h.background.size(); ++k)
      if (h.background[k].doc == open) {
        caret = h.background[k].caret;
        h.background.erase(h.background.begin() + ptrdiff_t(k));
        break;
      }
    sci(SCI_ADDREFDOCUMENT, 0, LPARAM(open));  // show() releases the host's hold
    show(open, path, caret);
    sci(SCI_RELEASEDOCUMENT, 0, LPARAM(open));  // the background entry's hold
    return true;
  }
  const uintptr_t doc = uintptr_t(scratch(SCI_CREATEDOCUMENT, 0, 0));
  if (!loadInto(doc, path)) {
    scratch(SCI_RELEASEDOCUMENT, 0, LPARAM(doc));
    return false;
  }
  notifyPlugin(NPPN_FILEOPENED, doc);
  show(doc, path, 0);
  return true;
}

bool reloadDocument(const std::wstring& path) {
  const uintptr_t doc = bufferOfPath(path);
  if (!doc)
    return false;
  // The shown document keeps its caret where the text allows.
  const LRESULT caret = doc == currentBuffer() ? sci(SCI_GETCURRENTPOS) : -1;
  const bool ok = loadInto(doc, path);
  if (caret >= 0)
    sci(SCI_GOTOPOS, WPARAM(std::min<LRESULT>(caret, sci(SCI_GETLENGTH))));
  return ok;
}

void notifyPlugin(unsigned code, uintptr_t buffer) {
  Host& h = theHost();
  if (!h.beNotified)
    return;
  SCNotification n{};
  n.nmhdr.hwndFrom = h.main;
  n.nmhdr.idFrom = buffer;
  n.nmhdr.code = code;
  h.beNotified(&n);
}

}  // namespace host
