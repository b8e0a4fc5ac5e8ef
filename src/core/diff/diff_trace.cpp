#include "core/diff/diff_trace.h"

#include <algorithm>
#include <cmath>

#include "core/text/number_reader.h"
#include "core/text/number_text.h"
#include "core/text/text_files.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

constexpr TextView kDefaultTraceFile = u"Derive.Log";

}  // namespace

uint8_t setDiffTrace(Engine& e, uint8_t mode, TextView file) {
  e.diff.trace.mode = mode;
  e.diff.trace.file = Text(file);
  return mode;
}

void diffTrace(Engine& e, TextView procedure, TextView text) {
  DiffTrace& t = e.diff.trace;
  if (t.mode == 0)
    return;
  ++t.lines;
  const bool entering = text.substr(0, 3) == u"IN_";
  const bool leaving = text.substr(0, 3) == u"OUT";
  if (entering) {
    t.path.push_back(u'/');
    t.path.append(procedure);
    t.indent.push_back(u' ');
  }
  Text line =
      intText(t.lines) + u": (" + intText(int64_t(std::count(t.path.begin(), t.path.end(), u'/'))) + u") " + t.indent;
  line.append(procedure);
  line.append(u", ");
  line.append(text);
  if (t.mode == 1) {
    if (t.file.empty()) {
      t.file = Text(kDefaultTraceFile);
      writeUtf8File(t.file, u"", WriteMode::Replace);
    }
    writeUtf8File(t.file, line + u"\r\n", WriteMode::Append);
  } else if (t.mode == 2) {
    e.platform.messageBox(u"oTemar.dll", line, BoxButtons::Ok, BoxIcon::None);
  }
  if (leaving) {
    const Text mark = u"/" + Text(procedure);
    if (size_t at = t.path.rfind(mark); at != Text::npos && at + mark.size() == t.path.size())
      t.path.resize(at);
    if (!t.indent.empty())
      t.indent.pop_back();
  }
}

void diffError(Engine& e, TextView message) {
  e.diff.errorFlag = kDiffFailed;
  if (diffTracing(e))
    diffTrace(e, u"Error", u"ERR, (" + Text(message) + u")");
}

namespace {

Text trimmedFixed(double value, int decimals, bool keepPoint) {
  Text t = fixedText(value, decimals);
  if (t.find(u'.') != Text::npos) {
    while (!t.empty() && t.back() == u'0') t.pop_back();
    if (!keepPoint && !t.empty() && (t.back() == u'.' || t.back() == u','))
      t.pop_back();
  }
  if (t.empty() || t == u"-0" || t == u"-0.")
    t = keepPoint && t == u"-0." ? u"0." : u"0";
  return t;
}

bool readsZero(TextView t) { return t == u"0" || t == u"0."; }

}  // namespace

Text diffNumberText(double value, bool keepPoint) {
  Text t = trimmedFixed(value, kFormulaDecimals, keepPoint);
  if (readsZero(t) && value != 0 && std::isfinite(value))
    t = trimmedFixed(value, 20, keepPoint);
  return t;
}

double diffNumberValue(TextView con) { return leadingDecimal(con); }

}  // namespace quadrel
