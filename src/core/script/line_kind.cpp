#include "core/script/line_kind.h"

#include "core/script/command_table.h"

namespace quadrel {

namespace {

TextView firstWord(TextView text) {
  size_t n = 0;
  while (n < text.size() && isIdentChar(text[n])) ++n;
  return text.substr(0, n);
}

}  // namespace

LineKind lineKind(TextView text) {
  const TextView word = firstWord(text);
  const int entry = findCommand(word);
  LineKind kind;
  kind.isCommand = entry >= 0 || findHandler(word) != nullptr;
  kind.catalogueIndex = entry >= 0 ? entry : kLastCommandIndex;
  return kind;
}

Text asScriptLine(TextView text) {
  const TextView trimmed = trimBlanks(text);
  if (trimmed.empty() || trimmed.front() == u'\'' || lineKind(trimmed).isCommand)
    return Text(text);
  return u"Expr = " + Text(trimmed);
}

}  // namespace quadrel
