#include "plugin/menu_commands.h"

#include <windows.h>

#include <string>
#include <vector>

#include "core/diag/debug_log.h"
#include "core/engine.h"
#include "core/eval/store_ops.h"
#include "core/ground/error_report.h"
#include "core/ground/error_table.h"
#include "core/script/command_context.h"
#include "core/script/command_line.h"
#include "core/script/command_table.h"
#include "core/script/executor.h"
#include "core/script/functions_report.h"
#include "core/script/line_kind.h"
#include "core/script/reports.h"
#include "core/script/script_file.h"
#include "core/text/number_text.h"
#include "core/text/path_text.h"
#include "platform/platform.h"
#include "plugin/editor_access.h"
#include "plugin/plugin_state.h"
#include "plugin/settings.h"

namespace quadrel::plugin {

namespace {

const Text kDashes70(70, u'-');

int box(TextView caption, TextView text, UINT buttons = MB_OK) {
  std::wstring c(caption.begin(), caption.end()), t(text.begin(), text.end());
  return MessageBoxW(pluginState().npp.nppHandle, t.c_str(), c.c_str(), buttons);
}

// What the log says of a menu command: its procedure name and the banner
// written when it starts (none for a command the log does not follow).
struct MenuFrame {
  const char16_t* name;
  const char16_t* banner;
};

// The frame every menu command shares: the banner followed by five "*", the
// command itself, and the closing line "Proc: " + name cut or padded to 15 +
// ": " + 70 "-". Nothing the command throws reaches the host.
template <class Body>
void inMenuFrame(const MenuFrame& frame, Body&& body) noexcept {
  try {
    const bool followed = *frame.banner != u'\0';
    if (followed)
      plog(Text(frame.name) + u"()", Text(frame.banner) + u"*****");
    body();
    if (followed) {
      Text name = Text(frame.name).substr(0, 15);
      name.resize(15, u' ');
      plogRaw(u"Proc: " + name + u": " + kDashes70);
    }
  } catch (...) {
  }
}

// Every run starts from the defaults plus the plug-in's settings; the
// description is the run's command line for the logs only.
RunSettings request(Text description) {
  RunSettings r;
  r.commandLine = std::move(description);
  return r;
}

int32_t run(RunSettings r) { return runRequest(pluginEngine(), std::move(r)); }

// A run of the editor's text, its result to the clipboard and the log: the
// text is the script as it stands, never read as options.
RunSettings textRequest(Text options, const Text& text) {
  const PluginState& s = pluginState();
  RunSettings r = request(options + u" /sel:'" + text + u"' /");
  r.selectionText = text;
  r.runSelection = true;
  r.noHeader = true;
  r.toClipboard = true;
  r.logToFile = true;
  r.resultsOnly = s.hideExprLine;
  return r;
}

// Trims the run's result text in place (later reads see it trimmed) and
// gives it.
Text trimStoredResult() {
  Engine& e = pluginEngine();
  e.script.resultText = Text(trimBlanks(trimPattern(e.script.resultText, u"\r\n", false)));
  return e.script.resultText;
}

}  // namespace

Text CheckExpressionS(TextView input, TextView title, int32_t* answerOut, bool fromTip) {
  PluginState& s = pluginState();
  plog(u"CheckExpressionS()", u": Expr IN = '" + Text(input) + u"'");
  Text text(trimBlanks(trimPattern(input, u"\r\n", false)));
  s.catalogueIndex = 0;
  int32_t answer = kCheckRun;
  if (text.empty()) {
    box(u"Quadrel", u"No Expression found!");
    answer = kCheckNothingToRun;
  } else {
    const LineKind line = lineKind(text);
    const bool isCommand = line.isCommand;
    s.catalogueIndex = line.catalogueIndex;
    const CommandKind kind = isCommand ? commandCatalogue()[size_t(s.catalogueIndex)].kind : CommandKind::Evaluate;
    Text question = Text(title) + u"\r\n\r\n" + text + u"\r\n\r\n";
    question.append(kind == CommandKind::Load      ? u"Press: Yes to Load Expression in Memory"
                    : kind == CommandKind::Execute ? u"Press: Yes to Execute Command"
                                                   : u"Press: Yes to Evaluate Expression");
    question.append(u"\r\n           No to abort operation");
    if (!fromTip && !s.noConfirm)
      answer = box(u"Quadrel", question, MB_YESNO) == IDYES ? kCheckRun : kCheckDeclined;
    if (answer == kCheckRun && !isCommand) {
      text = u"Expr = " + text;
      s.catalogueIndex = kExprCommandIndex;
    }
  }
  plog(u"CheckExpressionS()", u": lExpr OUT = '" + text + u"'");
  plog(u"CheckExpressionS()", u": btnRet = " + intText(answer));
  if (answerOut)
    *answerOut = answer;
  return text;
}

namespace {

// What the tool tip may run: bare formulas and the commands that only show a
// value (Expr, Hex, Bin, Show), on every line of the text. A command that
// writes a file, opens a window or changes the stores never runs from a
// resting mouse.
bool safeForToolTip(TextView text) {
  std::vector<TextView> lines;
  splitLines(text, lines);
  for (TextView line : lines) {
    line = trimWhite(line);
    if (line.empty())
      continue;
    const LineKind kind = lineKind(line);
    if (!kind.isCommand)
      continue;
    const TextView name = commandCatalogue()[size_t(kind.catalogueIndex)].name;
    if (!equalsIgnoreCase(name, u"Expr") && !equalsIgnoreCase(name, u"Hex") && !equalsIgnoreCase(name, u"Bin") &&
        !equalsIgnoreCase(name, u"Show"))
      return false;
  }
  return true;
}

// Checks the text, runs it and inserts the result below the text (not for
// the tool tip); noLabels is the plug-in's summary setting, where it applies.
void evaluateToWindow(TextView procedure, Text text, TextView title, TextView options, bool noLabels, bool fromTip) {
  PluginState& s = pluginState();
  int32_t answer = kCheckNothingToRun;
  if (fromTip && !safeForToolTip(text)) {
    s.toolTipExpression.clear();  // no tip at all
    return;
  }
  text = CheckExpressionS(text, title, &answer, fromTip);
  if (fromTip)
    s.toolTipExpression = text;
  if (answer != kCheckRun)
    return;
  RunSettings r = textRequest(Text(options), text);
  r.noLabels = noLabels;
  const int32_t exitCode = run(std::move(r));
  const Text result = trimStoredResult();
  plog(procedure, u": btnRet = " + intText(answer) + u", ExitCode = " + intText(exitCode));
  plog(procedure, u": otmResStr = '" + result + u"'");
  if (fromTip)
    return;
  if (!result.empty())
    insertResult(result, true);
}

}  // namespace

void otmE_CurLineToWnd(bool fromTip) {
  PluginState& s = pluginState();
  const int32_t line = getCurLineNr(nullptr, false) - 1;
  const Text text = getLineText(line);
  plog(u"otmE_CurLineToWnd()", u": LineText= " + text);
  evaluateToWindow(u"otmE_CurLineToWnd()", removeComments(text), u"Eval CurLine To Wnd: Expression = ",
                   u" /noh /sclp /log " + s.hideExprOption + s.summaryOption, s.summary, fromTip);
}

void otmE_SelTextToWnd(bool fromTip) {
  PluginState& s = pluginState();
  evaluateToWindow(u"otmE_SelTextToWnd()", removeComments(getSelection()), u"Eval SelText To Wnd: Expression = ",
                   u" /noh /sclp /log " + s.hideExprOption, false, fromTip);
}

void __cdecl otmE_CurLineToWndMnu() {
  inMenuFrame({u"otmE_CurLineToWndMnu", u": ***** Menu: EVAL CURLINE TO WND "}, [] {
    plog(u"otmE_CurLineToWndMnu()", u": START ");
    otmE_CurLineToWnd(false);
  });
}

void __cdecl otmE_SelTextToWndMnu() {
  inMenuFrame({u"otmE_SelTextToWndMnu", u": ***** Menu: EVAL SELTEXT TO WND "}, [] {
    plog(u"otmE_SelTextToWndMnu()", u": START ");
    otmE_SelTextToWnd(false);
  });
}

void __cdecl otmE_Expr() {
  inMenuFrame({u"otmE_Expr", u": ***** Menu: EVAL EXPRESSION TO WND "}, [] {
    PluginState& s = pluginState();
    const Statement statement = getStatementBeforeCaret();
    Text text = removeComments(statement.text);
    text = Text(trimBlanks(trimPattern(text, u"\r\n", false)));
    int32_t answer;
    if (s.noConfirm) {
      answer = kCheckRun;
    } else if (text.empty()) {
      box(u"Quadrel Plugin", u"No Expression found!");
      answer = kCheckDeclined;
    } else {
      const bool yes = box(u"Quadrel", u"Eval Expr: Expression = \r\n\r\n'" + text + u"'", MB_YESNO) == IDYES;
      answer = yes ? kCheckRun : kCheckDeclined;
    }
    if (answer == kCheckDeclined)
      return;
    // A bare formula runs the way a bare line of "Eval CurLine To Wnd" does.
    const Text runText = statement.bare && !text.empty() ? u"Expr = " + text : text;
    RunSettings r = textRequest(u" /a /noh /sclp /log " + s.hideExprOption, runText);
    // The /a of this command names no file: a selection run writes none.
    r.writeToFile = true;
    r.append = true;
    const int32_t exitCode = run(std::move(r));
    const Text result = trimStoredResult();
    plog(u"otmE_Expr()", u": btnRet = " + intText(answer) + u", ExitCode = " + intText(exitCode));
    plog(u"otmE_Expr()", u": otmResStr = '" + result + u"'");
    if (answer == kCheckRun && !result.empty())
      insertResult(result, true);
  });
}

void __cdecl otmE_CurFile() {
  inMenuFrame({u"otmE_CurFile", u": ***** Menu: EVAL CURFILE TO FILE "}, [] {
    const Text path = getFileName();
    RunSettings r = request(u"/i " + path + u" /o /log /pbar");
    r.inputFile = path;
    r.readFromFile = true;
    r.writeToFile = true;
    r.logToFile = true;
    const int32_t exitCode = run(std::move(r));
    plog(u"otmE_CurFile()", u": FileName = " + path);
    plog(u"otmE_CurFile()", u": ExitCode = " + intText(exitCode));
    // The whole file's result is shown: reloaded when open, else opened.
    reloadResultFile(path, true);
  });
}

void __cdecl otmE_CurLineToFile() {
  inMenuFrame({u"otmE_CurLineToFile", u": ***** Menu: EVAL CURLINE TO FILE "}, [] {
    const Text path = getFileName();
    const int32_t line = getCurLineNr(nullptr, false);
    RunSettings r = request(u"/i " + path + u" /a /lns:" + intText(line) + u" /lc:0 /noh");
    r.inputFile = path;
    r.readFromFile = true;
    r.writeToFile = true;
    r.append = true;
    r.noHeader = true;
    r.lineList = u";" + intText(line) + u";";
    r.filterLines = true;
    const int32_t exitCode = run(std::move(r));
    plog(u"otmE_CurLineToFile()", u": FileName = " + path);
    plog(u"otmE_CurLineToFile()", u": lHandle = " + intText(exitCode));
    // Only reloaded: one line's run must not switch documents.
    reloadResultFile(path, false);
  });
}

void __cdecl otmE_ShowMem() {
  inMenuFrame({u"otmE_ShowMem", u": ***** Menu: SHOW MEMORY "}, [] {
    RunSettings r = request(u" /sm ");
    r.showMemory = true;
    const int32_t exitCode = run(std::move(r));
    plog(u"otmE_ShowMem()", u": ExitCode = " + intText(exitCode));
  });
}

void __cdecl insertFileName() {
  inMenuFrame({u"insertFileName", u""}, [] {
    // The dialog starts in the document's folder and offers scripts first;
    // a cancel inserts nothing and says nothing.
    const Text name = pluginEngine().platform.openFileDialog(
        u"Insert filename", u"Quadrel scripts (*.otm)|*.otm|All files (*.*)|*.*", folderPart(getFileName()));
    if (!name.empty())
      insertResult(name, false);
  });
}

void __cdecl otmE_About() {
  inMenuFrame({u"otmE_About", u": ***** Menu: ABOUT "}, [] {
    Engine& e = pluginEngine();
    showReport(e, aboutReport(e));
  });
}

void optionShowErrorMessages() { viewLog(pluginEngine(), LogSource::Errors); }
void optionShowDebugLog() { viewLog(pluginEngine(), LogSource::Debug); }

void optionDecimals() {
  Engine& e = pluginEngine();
  Text answer;
  if (e.platform.inputBox(u"Quadrel Input", u"Input number of decimals for results:", intText(e.script.decimals),
                          answer)) {
    // One leading "(" and one trailing ")" may go; the rest must be digits and points.
    TextView probe = answer;
    if (!probe.empty() && probe.front() == u'(')
      probe.remove_prefix(1);
    if (!probe.empty() && probe.back() == u')')
      probe.remove_suffix(1);
    bool number = true;
    for (char16_t c : probe) number = number && (isDigit(c) || c == u'.');
    if (number) {
      e.script.decimals = int32_t(leadingInteger(answer));
    } else {
      box(u"Quadrel Error", u"Invalid number");
    }
  }
  writeSetting(u"Decimals", e.script.decimals);
}

void optionShowCommands() {
  Engine& e = pluginEngine();
  showReport(e, commandsReport(e));
}

void optionSupportedFunctions() {
  Engine& e = pluginEngine();
  showReport(e, supportedFunctionsReport(e));
}

void optionResetMemory() {
  if (box(u"Quadrel", u"Are you sure to reset Quadrel memory?", MB_YESNO) == IDYES)
    resetEvaluator(pluginEngine());
}

void optionAcknowledgments() {
  box(u"Quadrel",
      u"ACKNOWLEDGMENTS\r\n\r\nI thank these people for their support, testing and suggestions:\r\n"
      u"    the early testers of the Quadrel team\r\n"
      u"    everyone who reported a wrong result");
}

void startPluginDebug() {
  Engine& e = pluginEngine();
  debugStart(e, informationBlock(e, false, true));
}

void dwellNotification(const SciNotification* n) {
  if (!n)
    return;
  PluginState& s = pluginState();
  Engine& e = pluginEngine();
  HWND view = s.npp.scintillaMainHandle;
  if (n->header.code == SCN_DWELLSTART && n->x > 0 && n->y > 0) {
    const intptr_t position = n->position;
    const LRESULT caret = SendMessageW(view, SCI_GETCURRENTPOS, 0, 0);
    s.toolTipExpression.clear();
    clearErrorCode(e);
    const intptr_t distance = caret > position ? caret - position : position - caret;
    if (distance > s.currentSelectionSize + 1)
      return;
    if (getSelection().empty()) {
      otmE_CurLineToWnd(true);
    } else {
      otmE_SelTextToWnd(true);
    }
    if (s.toolTipExpression.empty())
      return;  // nothing the tip may run
    Text tip = trimPattern(s.toolTipExpression, u"\r\n", false) + u"\r\n" + e.script.resultText;
    const int entry = e.errors.code == kNoError ? s.catalogueIndex : 0;
    tip.append(commandCatalogue()[size_t(entry)].resultMessage);
    // A call tip breaks lines at LF and draws a CR as a box of its own.
    replaceAll(tip, u"\r\n", u"\n");
    replaceAll(tip, u"\r", u"\n");
    const std::string bytes = toDocument(view, tip);
    SendMessageA(view, SCI_CALLTIPSHOW, WPARAM(caret), reinterpret_cast<LPARAM>(bytes.c_str()));
    s.lastToolTipTick = GetTickCount64();
  } else if (n->header.code == SCN_DWELLEND) {
    if (SendMessageW(view, SCI_CALLTIPACTIVE, 0, 0))
      SendMessageW(view, SCI_CALLTIPCANCEL, 0, 0);
  }
}

}  // namespace quadrel::plugin
