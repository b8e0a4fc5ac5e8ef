#include "core/script/executor.h"

#include <algorithm>
#include <vector>

#include "core/engine.h"
#include "core/ground/error_report.h"
#include "core/ground/error_table.h"
#include "core/plot/plot_command.h"
#include "core/script/batch_run.h"
#include "core/script/command_context.h"
#include "core/script/command_table.h"
#include "core/script/script_file.h"
#include "core/text/number_text.h"
#include "core/text/path_text.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

// Beyond this many units the result text grows by doubling.
constexpr size_t kMaxResultReserve = size_t(1) << 24;

bool startsWith(TextView s, TextView p) { return s.substr(0, p.size()) == p; }
bool contains(TextView s, TextView p) { return s.find(p) != TextView::npos; }

struct BlockState {
  bool echo = false;
  bool bang = false;
};

// Echo lines, echo and bang blocks and comments; true when the line is done.
bool handleEchoAndComments(TextView line, BlockState& blocks, Text& result) {
  auto echo = [&] {
    result.append(line);
    result.append(u"\r\n");
  };
  if (startsWith(line, u"''")) {
    echo();
    return true;
  }
  if (blocks.echo || contains(line, u"\\\\")) {
    blocks.echo = !contains(line, u"//");
    echo();
    return true;
  }
  if (blocks.bang || startsWith(line, u"!\\")) {
    blocks.bang = !startsWith(line, u"!/");
    echo();
    return true;
  }
  return startsWith(line, u"'");
}

}  // namespace

void splitLines(TextView text, std::vector<TextView>& lines) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' || text[i] == u'\n') {
      lines.push_back(text.substr(start, i - start));
      if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
        ++i;
      start = i + 1;
    }
  }
  lines.push_back(text.substr(start));
}

int32_t execCommands(Engine& e, TextView text, Text& result, const ExecOptions& options, RunCounters* counts) {
  RunLabels labels;
  if (options.noLabels)
    labels = {Text(), Text(), Text(), Text(), Text()};
  closePlotWindows(e);
  e.script.plotWindowCount = 0;
  result.clear();
  if (options.collectValues)
    e.script.values.clear();
  RunCounters counters;
  BlockState blocks;

  std::vector<TextView> lines;
  splitLines(text, lines);
  const int64_t lineCount = int64_t(lines.size());
  // Each command adds about its line and 72 units (header and result lines).
  // Reserving that up front spares a long script the copies of each doubling
  // and the first touch of the pages they leave behind.
  if (!options.filterLines)
    result.reserve(std::min(text.size() + 72 * lines.size(), kMaxResultReserve));
  for (int64_t j = 1; j <= lineCount && !e.script.interrupted(); ++j) {
    e.script.status = kStatusOk;
    TextView line = trimBlanks(lines[size_t(j - 1)]);
    if (options.filterLines) {
      Text key = u";" + intText(j + options.lineOffset) + u";";
      if (!contains(options.lineList, key))
        continue;
    }
    if (handleEchoAndComments(line, blocks, result))
      continue;

    // Command syntax: Name = arguments, Name(parameters) = arguments, Name(parameters).
    const size_t eq = line.find(u'=');
    const TextView head = eq == TextView::npos ? line : line.substr(0, eq);
    const size_t open = head.find(u'(');
    if (eq == TextView::npos && open == TextView::npos)
      continue;  // neither: ignored
    // A trailing comment goes; the positions found above stay valid.
    const size_t quote = line.find(u'\'');
    const TextView code = quote == TextView::npos ? line : line.substr(0, quote);
    auto slice = [&](size_t from, size_t to) {
      from = std::min(from, code.size());
      to = std::min(to, code.size());
      return from < to ? code.substr(from, to - from) : TextView();
    };
    TextView nameText, params, args;
    if (open != TextView::npos) {
      nameText = slice(0, open);
      size_t close = head.find(u')', open + 1);
      if (close == TextView::npos)
        close = head.size();
      params = slice(open + 1, close);
    } else {
      nameText = slice(0, eq);
    }
    if (eq != TextView::npos)
      args = trimWhite(slice(eq + 1, code.size()));

    ++counters.commands;
    if (options.progress)
      showProgress(e, float(j), float(lineCount), true, u"");
    CommandContext ctx{e,
                       options,
                       labels,
                       counters,
                       result,
                       int32_t(std::min<int64_t>(j, INT32_MAX)),
                       toLower(trimWhite(nameText)),
                       params,
                       args,
                       line,
                       &lines,
                       &j,
                       Text(),
                       false,
                       std::nullopt};
    const int64_t errorsBefore = counters.errors;
    if (CommandHandler handler = findHandler(ctx.name)) {
      handler(ctx);
    } else {
      setErrorCode(e, kErrUndefinedCommand);
      ctx.header(u"Expression = :", true);
      ctx.resultLine(labels.result, ctx.failure(kErrUndefinedCommand));
    }
    if (options.collectValues && (ctx.showed || counters.errors > errorsBefore))
      e.script.values.push_back(
          {ctx.lineNumber, Text(trimWhite(ctx.shown)), counters.errors > errorsBefore, ctx.shownNumber});
  }

  showProgress(e, 0, 0, false, u"");
  while (result.size() >= 2 && result.compare(result.size() - 2, 2, u"\r\n") == 0) result.resize(result.size() - 2);
  if (counts)
    *counts = counters;
  return packedCounts(counters);
}

int32_t packedCounts(const RunCounters& counts) {
  const int64_t code = counts.commands * 1000 + std::min<int64_t>(counts.errors, 999);
  return int32_t(std::min<int64_t>(code, INT32_MAX));
}

void CommandContext::header(TextView body, bool failed) {
  if (options.resultsOnly && !failed)
    return;
  result.append(u"Ln ");
  result.append(intText(lineNumber));
  result.append(u": ");
  result.append(body);
  result.append(u"\r\n");
}

void CommandContext::resultLine(TextView label, TextView r) {
  if (options.collectValues) {
    shown = Text(r);
    showed = true;
  }
  result.append(label);
  result.append(r);
  result.append(u"\r\n\r\n");
}

namespace {

Text errorLine(int32_t code, TextView description) {
  Text t = u"===> ERROR n. = " + intText(code) + u": ";
  t.append(description);
  return t;
}

}  // namespace

Text errorText(int32_t code) { return errorLine(code, describeCode(code)); }

Text CommandContext::failure(int32_t code) {
  ++counters.errors;
  return errorLine(code, describeError(e, code));
}

Text CommandContext::statusFailure(int32_t status) {
  ++counters.errors;
  return errorLine(status, statusText(status));
}

Text stripBrackets(TextView name) {
  if (!name.empty() && name.front() == u'[')
    name.remove_prefix(1);
  if (!name.empty() && name.back() == u']')
    name.remove_suffix(1);
  return Text(name);
}

Text cmdFileIO(Engine& e, TextView fileName, TextView mode, TextView text) {
  const Text path = isAbsolutePath(fileName)
                        ? Text(fileName)
                        : joinPath(e.script.settings.dataFolder, fileName, e.platform.pathSeparator());
  if (equalsIgnoreCase(mode, u"fileout")) {
    if (!writeTextFile(path, text, false))
      e.platform.messageBox(u"Quadrel", u"Error 1: can't write the file.\r\n" + path, BoxButtons::Ok, BoxIcon::None);
    return Text();
  }
  Text content, refusal;
  ReadResult r = readTextFile(e, path, content, refusal);
  if (r == ReadResult::TooLarge) {
    const Text limit = refuseTooLarge(e, u"ExprF", path);
    e.platform.messageBox(u"Quadrel", u"Error 3: Couldn't open the file!\r\n" + limit + path, BoxButtons::Ok,
                          BoxIcon::None);
    return Text();
  }
  if (r == ReadResult::OpenFailed) {
    e.script.status = kStatusOpenError;
    e.platform.messageBox(u"Quadrel", u"Error 3: Couldn't open the file!\r\n" + path, BoxButtons::Ok, BoxIcon::None);
    return Text();
  }
  // Lines whose first non-blank character is not a comment mark, joined.
  Text out;
  std::vector<TextView> lines;
  splitLines(content, lines);
  for (TextView l : lines) {
    TextView t = trimWhite(l);
    if (!t.empty() && t[0] != u'\'')
      out.append(l);
  }
  return out;
}

}  // namespace quadrel
