#include "core/ground/error_report.h"

#include "core/engine.h"
#include "core/ground/error_table.h"

namespace quadrel {

size_t addReport(Engine& e, TextView procedure, int32_t line, TextView extra) {
  LexerState& lx = e.lexer;
  Text& ext = e.errors.extendedInfo;
  ext.assign(extra);
  ext.append(u"\r\nExtended Error Info:\r\n  expression  : ");
  ext.append(lx.expression);
  ext.append(u"\r\n  ");
  ext.append(lx.rulerLine());
  ext.append(u"\r\n  element     : ");
  ext.append(lx.element());
  ext.append(u"\r\n  type/token  : ");
  ext.append(lx.tokenType());
  ext.append(u"\r\n  remaining   : ");
  ext.append(lx.remaining());
  ext.append(u"\r\n");

  Text& log = e.errors.log;
  log.append(u"\r\nProcedure : '");
  log.append(procedure);
  log.append(u" (Line: ");
  log.append(intText(line));
  log.append(u")'\r\nError nr. : ");
  log.append(intText(e.errors.code));
  log.append(u", Description: ");
  log.append(describeError(e, e.errors.code));
  log.append(u"\r\n");
  log.append(ext);
  log.append(u"\r\n");
  return log.size();
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
