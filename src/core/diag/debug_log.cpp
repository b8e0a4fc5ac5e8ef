#include "core/diag/debug_log.h"

#include <filesystem>
#include <system_error>

#include "core/engine.h"
#include "core/text/file_path.h"
#include "core/text/text_files.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

constexpr size_t kProcedureField = 20;
constexpr size_t kDebugStartRule = 67;

// One line of the plug-in's log: to the debug output, and to the debug file
// when one is named, so that the file the user was told about holds the log.
void logLine(Engine& e, TextView line) {
  if (e.diag.pluginDebug != 1)
    return;
  e.platform.debugOutput(line);
  if (!e.diag.debugFilePath.empty()) {
    Text withEnd(line);
    withEnd.append(u"\r\n");
    writeUtf8File(e.diag.debugFilePath, withEnd, WriteMode::Append);
  }
}

void removeNonEmptyFile(TextView path) {
  const std::optional<std::filesystem::path> p = filePathOf(path);
  if (!p)
    return;
  std::error_code ec;
  if (std::filesystem::is_regular_file(*p, ec) && std::filesystem::file_size(*p, ec) > 0 && !ec)
    std::filesystem::remove(*p, ec);
}

}  // namespace

Text procedureLine(TextView procedureName, TextView text) {
  Text line = u"Proc: ";
  Text field(procedureName.substr(0, kProcedureField));
  field.resize(kProcedureField, u' ');
  line.append(field);
  line.append(text);
  return line;
}

void procedureLog(Engine& e, TextView procedureName, TextView text) {
  if (e.diag.pluginDebug != 1)
    return;
  logLine(e, procedureLine(procedureName, text));
}

void debugStart(Engine& e, TextView informationBlock) {
  removeNonEmptyFile(e.diag.debugFilePath);

  // The block arrives as lines ending with CR LF; each becomes a log line.
  size_t at = 0;
  while (at < informationBlock.size()) {
    size_t end = informationBlock.find_first_of(u"\r\n", at);
    if (end == TextView::npos)
      end = informationBlock.size();
    logLine(e, informationBlock.substr(at, end - at));
    at = end;
    if (at < informationBlock.size() && informationBlock[at] == u'\r')
      ++at;
    if (at < informationBlock.size() && informationBlock[at] == u'\n')
      ++at;
  }

  Text time = u"BatchRun : Time ";
  time.append(dateTimeText(e.platform.localTime(), u" - "));
  logLine(e, time);

  Text file = u"Log File : \"";
  file.append(e.diag.debugFilePath);
  file.push_back(u'"');
  logLine(e, file);

  logLine(e, Text(kDebugStartRule, u'-'));
}

}  // namespace quadrel
