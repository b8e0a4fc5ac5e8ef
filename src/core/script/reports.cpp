// Reports about the library's state, each built as one text and shown line by
// line in the messages window.
#include "core/script/reports.h"

#include "core/engine.h"
#include "core/matrix/matrix_store_ops.h"
#include "core/script/batch_run.h"
#include "core/script/script_file.h"

namespace quadrel {

namespace {

// A store's list written for reading: "; " between entries, " = " inside.
Text storeListText(const NameStore& store) {
  Text list = store.listText();
  replaceAll(list, u";", u"; ");
  replaceAll(list, u"=", u" = ");
  list.push_back(u' ');
  return list;
}

void appendFlag(Text& text, TextView label, bool flag) {
  text.append(u"\r\n");
  text.append(label);
  text.push_back(flag ? u'1' : u'0');
}

void appendValue(Text& text, TextView label, TextView value) {
  text.append(u"\r\n");
  text.append(label);
  text.append(value);
}

}  // namespace

Text memoryReport(Engine& e) {
  Text text = informationBlock(e, false, false);
  text.append(u"\r\nShow Memory:\r\n\r\nVariables:\r\n");
  text.append(storeListText(e.variables));
  text.append(u"\r\n\r\nFunctions:\r\n");
  text.append(storeListText(e.functions));
  text.append(u"\r\n\r\n");
  text.append(matrixListText(e, true));
  text.append(u"\r\n");
  return text;
}

Text flagsReport(Engine& e) {
  const RunSettings& s = e.script.settings;
  Text text = informationBlock(e, false, false);
  text.append(u"\r\nFlags and Variables:");
  appendValue(text, u"InpFN = ", s.inputFile);
  appendFlag(text, u"lnsF = ", s.filterLines);
  appendValue(text, u"LnsStr = ", s.lineList);
  appendFlag(text, u"getFromClpF = ", s.fromClipboard);
  appendFlag(text, u"getFromSelTextF = ", s.runSelection);
  text.append(u"\r\n");
  appendValue(text, u"OutpFN = ", s.outputFile);
  appendFlag(text, u"AppendF = ", s.append);
  appendFlag(text, u"NoHF = ", s.noHeader);
  appendFlag(text, u"noLnExpF= ", s.resultsOnly);
  appendFlag(text, u"SaveToClpBF = ", s.toClipboard);
  appendValue(text, u"decimals= ", intText(e.script.decimals));
  text.append(u"\r\n");
  appendValue(text, u"CurDir = ", s.dataFolder);
  text.append(u"\r\n");
  appendFlag(text, u"splF = ", s.savePlots);
  appendValue(text, u"splPath = ", s.savePlotPath);
  appendFlag(text, u"logF = ", s.logToFile);
  appendValue(text, u"logFileN= ", s.logFileName);
  appendFlag(text, u"rrF = ", s.remainResident);
  appendFlag(text, u"rsetF = ", s.resetRequested);
  appendFlag(text, u"quitF = ", false);  // /quit is accepted; a run never ends its host
  appendFlag(text, u"delF = ", s.deleteOutputs);
  text.append(u"\r\n");
  text.append(u"\r\nPress any keys...");
  return text;
}

Text commandsReport(Engine& e) {
  Text text;
  if (!loadTextFile(e, commandListPath(e), u"Error 8: can't read the file\r\n", text))
    e.script.status = kStatusOpenError;
  text.append(u"\r\n");
  return text;
}

Text logFileReport(Engine& e) {
  Text text = u"Log File:\r\nFileName:";
  text.append(e.script.settings.logFileName);
  text.append(u"\r\n\r\n");
  Text log;
  if (!loadTextFile(e, e.script.settings.logFileName, u"Error 7: can't read the file\r\n", log))
    e.script.status = kStatusOpenError;
  text.append(log);
  text.append(u"\r\n");
  return text;
}

Text aboutReport(Engine& e) {
  Text text = informationBlock(e, true, false);
  text.append(u"\r\n");
  return text;
}

void showReport(Engine& e, TextView text) {
  // A fresh window, numbered from 1.
  writeLogLine(e, TextView(), 2, TextView(), true);
  size_t at = 0;
  while (true) {
    const size_t end = text.find(u'\r', at);
    TextView piece = text.substr(at, end == TextView::npos ? TextView::npos : end - at);
    if (!piece.empty() && piece.front() == u'\n')
      piece.remove_prefix(1);
    writeLogLine(e, piece, 2, TextView(), false);
    if (end == TextView::npos)
      break;
    at = end + 1;
  }
}

}  // namespace quadrel
