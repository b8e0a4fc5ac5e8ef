#include "core/ground/error_report.h"

#include <algorithm>

#include "core/engine.h"
#include "core/ground/error_table.h"
#include "core/limits.h"
#include "core/text/bounded_log.h"

namespace quadrel {

namespace {

// The expression with its ruler line: whole up to kReportWholeChars, else
// kReportQuoteChars characters on each side of the error position, so that a
// formula expanded to millions of characters costs the log a few lines.
void appendQuote(Text& ext, const LexerState& lx) {
  const TextView x = lx.expression;
  const size_t at = size_t(std::max<int64_t>(lx.rulerPosition, 0));
  if (x.size() <= kReportWholeChars) {
    ext.append(x);
    ext.append(u"\r\n  ");
    ext.append(lx.rulerLine());
    return;
  }
  const size_t from = at > kReportQuoteChars ? std::min(at - kReportQuoteChars, x.size()) : 0;
  const size_t to = std::min(at + kReportQuoteChars, x.size());
  const TextView lead = from > 0 ? u"..." : u"";
  ext.append(lead);
  ext.append(x.substr(from, to - from));
  if (to < x.size())
    ext.append(u"...");
  ext.append(u"\r\n  ");
  // The ruler counts from the start of the quote; its number stays the
  // position in the whole expression.
  Text ruler = lx.rulerLine();
  const size_t bar = ruler.size() - 1 - size_t(std::max<int64_t>(lx.rulerPosition, 0));
  ruler.resize(bar);
  ruler.append(lead.size() + at - from, u'-');
  ruler.push_back(u'|');
  ext.append(ruler);
}

}  // namespace

size_t addReport(Engine& e, TextView procedure, int32_t line, TextView extra) {
  LexerState& lx = e.lexer;
  Text& ext = e.errors.extendedInfo;
  ext.assign(shortened(extra, kMaxReportExtraChars));
  ext.append(u"\r\nExtended Error Info:\r\n  expression  : ");
  appendQuote(ext, lx);
  ext.append(u"\r\n  element     : ");
  ext.append(shortened(lx.element(), 2 * kReportQuoteChars));
  ext.append(u"\r\n  type/token  : ");
  ext.append(lx.tokenType());
  ext.append(u"\r\n  remaining   : ");
  ext.append(shortened(lx.remaining(), 2 * kReportQuoteChars));
  ext.append(u"\r\n");

  Text report = u"\r\nProcedure : '";
  report.append(procedure);
  report.append(u" (Line: ");
  report.append(intText(line));
  report.append(u")'\r\nError nr. : ");
  report.append(intText(e.errors.code));
  report.append(u", Description: ");
  report.append(describeError(e, e.errors.code));
  report.append(u"\r\n");
  report.append(ext);
  report.append(u"\r\n");
  appendBounded(e.errors.log, report, kMaxLogChars);
  return e.errors.log.size();
}

Text describe(Engine& e, int32_t code, bool details) {
  // The current code may be the matrix library's; a code given is read in
  // the evaluator's table.
  Text r(code == -99 ? describeError(e, e.errors.code) : describeCode(code));
  if (details) {
    r.append(u" | ");
    r.append(e.errors.log);
  }
  return r;
}

TextView describeError(const Engine& e, int32_t code) {
  if (e.errors.matrixLibrary && code == e.errors.code)
    return messageEntry(code + kMatrixBase);
  return describeCode(code);
}

void setErrorCode(Engine& e, int32_t code) {
  e.errors.code = code;
  e.errors.matrixLibrary = false;
}

int32_t setMessagesFlag(Engine& e, int32_t flag) {
  const int32_t previous = e.errors.messagesFlag;
  e.errors.messagesFlag = flag;
  return previous;
}

void clearErrorLog(Engine& e) {
  e.errors.log.clear();
  e.errors.extendedInfo.clear();
}

}  // namespace quadrel
