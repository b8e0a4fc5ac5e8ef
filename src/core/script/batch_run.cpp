#include "core/script/batch_run.h"

#include "core/diag/debug_log.h"
#include "core/engine.h"
#include "core/text/text_files.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

constexpr size_t kRuleLength = 84;

Text unsignedText(uint64_t v) {
  Text digits;
  do {
    digits.insert(digits.begin(), char16_t(u'0' + v % 10));
    v /= 10;
  } while (v);
  return digits;
}

bool endsWithCrLf(TextView t) { return t.size() >= 2 && t.substr(t.size() - 2) == u"\r\n"; }

void appendLine(Text& out, TextView line) {
  out.append(line);
  out.append(u"\r\n");
}

Text headerBlock(Engine& e, const BatchOptions& o, int64_t commands, int64_t errors) {
  Text h;
  if (!o.header.empty()) {
    h.append(o.header);
    if (!endsWithCrLf(h))
      h.append(u"\r\n");
  }
  Text version, product;
  libraryVersion(e, version, product);
  appendLine(h, u"'Incorporates library " + Text(e.platform.productNames().library) + u" - rel. " + version);
  appendLine(h, Text(u"'") + Text(kRuleLength, u'-'));
  appendLine(h, Text(u"'BatchRun : Time ") + timeStamp(e));
  appendLine(h, Text(u"'Input file: ") + o.inputFile);
  appendLine(h, Text(u"'Executed Commands: ") + intText(commands) + u", Errors found: " + intText(errors));
  appendLine(h, Text(u"'") + Text(kRuleLength, u'*'));
  return h;
}

int32_t writeLogFileLine(Engine& e, TextView text, TextView fileName) {
  LogSinkState& sink = e.script.logSink;
  if (!fileName.empty() && sink.fileName.empty())
    sink.fileName = Text(fileName);
  if (sink.fileName.empty())
    return -1;
  Text line(text);
  if (!endsWithCrLf(line))
    line.append(u"\r\n");
  // The first line of the process starts the file afresh; later ones add to it.
  const WriteMode how = sink.fileCreated ? WriteMode::Append : WriteMode::Replace;
  if (!writeUtf8File(sink.fileName, line, how))
    return -1;
  sink.fileCreated = true;
  return 1;
}

int32_t writeWindowLine(Engine& e, TextView text) {
  LogSinkState& sink = e.script.logSink;
  if (!sink.windowOpen) {
    sink.windowOpen = true;
    sink.windowCounter = 0;
  }
  ++sink.windowCounter;
  Text line = intText(sink.windowCounter);
  line.append(u": ");
  line.append(text);
  e.platform.messagesWindowAdd(line);
  return sink.windowCounter;
}

}  // namespace

size_t batchRun(Engine& e, const BatchOptions& o) {
  RunSettings& settings = e.script.settings;
  settings.inputFile = o.inputFile;
  settings.outputFile = o.outputFile;
  settings.savePlotPath = o.savePlotPath;
  e.script.decimals = o.decimals;

  Text result;
  RunCounters counts;
  execCommands(e, e.script.scriptText, result, o.exec, &counts);
  const int64_t commands = counts.commands;
  const int64_t errors = counts.errors;
  e.script.lastRunCommands = commands;
  e.script.lastRunErrors = errors;

  Text text;
  if (!o.noHeader)
    text = headerBlock(e, o, commands, errors);
  text.append(result);

  e.script.status = kStatusOk;
  if (!endsWithCrLf(text))
    text.append(u"\r\n");
  e.script.scriptText = std::move(text);

  writeLogLine(e, Text(u"Eval Executed : Commands: ") + intText(commands) + u", Errors: " + intText(errors), o.logMode,
               TextView(), false);
  return e.script.scriptText.size();
}

int32_t writeLogLine(Engine& e, TextView text, int32_t mode, TextView fileName, bool reset) {
  LogSinkState& sink = e.script.logSink;
  if (reset) {
    if (mode == 2) {
      sink.windowOpen = false;
      sink.windowCounter = 0;
      e.platform.messagesWindowReset();
      e.script.progressOpen = false;
    } else if (mode == 1) {
      sink.fileName.clear();
      sink.fileCreated = false;
    }
    return 0;
  }
  switch (mode) {
    case 1: return writeLogFileLine(e, text, fileName);
    case 2: return writeWindowLine(e, text);
    default: return 0;
  }
}

Text timeStamp(Engine& e) { return dateTimeText(e.platform.localTime(), u" - "); }

Text closingLine(Engine& e, uint64_t milliseconds) {
  Text line = u"'--- End Of BatchRun : Time ";
  line.append(timeStamp(e));
  line.append(u" - (Execution Time: ");
  line.append(unsignedText(milliseconds));
  line.append(u" ms)");
  line.resize(kRuleLength, u'-');
  return line;
}

}  // namespace quadrel
