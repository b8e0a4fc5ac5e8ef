// The command line of the script entry: options introduced by "/", each
// recognised by the first two characters of its word.
#include "core/script/command_line.h"

#include <algorithm>
#include <vector>

#include "core/diag/debug_log.h"
#include "core/engine.h"
#include "core/eval/store_ops.h"
#include "core/script/batch_run.h"
#include "core/text/path_text.h"
#include "core/script/script_paths.h"
#include "core/text/number_text.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

constexpr TextView kPieceEnd = u" /";

// The text of a piece from position from up to the next "/", trimmed.
Text valueUpToSlash(TextView piece, size_t from) {
  if (from >= piece.size())
    return Text();
  TextView rest = piece.substr(from);
  return Text(trimBlanks(rest.substr(0, rest.find(u'/'))));
}

// The text after the first ":" of a piece without the " /" every piece ends with.
TextView afterColon(TextView piece) {
  const size_t colon = piece.find(u':');
  if (colon == TextView::npos)
    return TextView();
  TextView rest = piece.substr(colon + 1);
  if (rest.ends_with(kPieceEnd))
    rest.remove_suffix(kPieceEnd.size());
  return rest;
}

bool startsWithIgnoreCase(TextView s, TextView head) {
  return s.size() >= head.size() && equalsIgnoreCase(s.substr(0, head.size()), head);
}

void setOutput(RunSettings& s, TextView piece, bool append) {
  s.outputFile = valueUpToSlash(piece, 1);
  s.writeToFile = true;
  s.append = append;
  s.noHeader = append;
  s.runSelection = false;
}

void setDecimals(Engine& e, TextView piece) {
  // "dec:n" (or "decimals:n"), also "dec n" and "dec=n".
  TextView value = piece.substr(0, piece.size() - kPieceEnd.size());
  const size_t colon = value.find(u':');
  value = trimBlanks(colon == TextView::npos ? value.substr(3) : value.substr(colon + 1));
  if (!value.empty() && value[0] == u'=')
    value = trimBlanks(value.substr(1));
  if (value.empty() || !isDigit(value[0]))
    return;
  const int64_t n = leadingInteger(value);
  e.decimals = int32_t(n < 0 ? 0 : (n > kMaxDecimals ? kMaxDecimals : n));
}

void resetRunSettings(Engine& e) {
  RunSettings& s = e.script.settings;
  resetEvaluator(e);
  s.selectionText.clear();
  s.runSelection = false;
  s.resultsOnly = false;
  s.noHeader = false;
  s.inputFile.clear();
  s.readFromFile = false;
  s.outputFile.clear();
  s.writeToFile = false;
  s.savePlotPath.clear();
  s.savePlots = false;
  s.append = false;
  s.lineOffset = 0;
  // A line filter left from before would silently skip lines of later runs.
  s.lineList.clear();
  s.filterLines = false;
  s.fromClipboard = false;
  s.resetRequested = true;
  const int32_t mode = s.logToFile ? 1 : 0;
  writeLogLine(e, u"Command       : Reset RaRarevo and all command variables and string", mode,
               s.logToFile ? runLogFileName(e, s.logFileName) : Text(), false);
}

constexpr TextView kOptionKeys[] = {u"i ", u"o ", u"a ", u"sc", u"se", u"de", u"ln", u"lc", u"sp",
                                    u"lo", u"rs", u"re", u"no", u"nl", u"nt", u"pb", u"h ", u"sm",
                                    u"lg", u"sf", u"cm", u"w ", u"ab", u"gc", u"rr", u"qu"};

bool isOptionKey(TextView key) {
  for (TextView k : kOptionKeys)
    if (k == key)
      return true;
  return false;
}

// Applies one piece; a key that is none of the options is ignored. raw is
// the piece as the command line has it (the selected text is kept unchanged).
void applyOption(Engine& e, TextView key, TextView piece, TextView raw) {
  RunSettings& s = e.script.settings;
  if (key == u"i ") {
    s.inputFile = valueUpToSlash(piece, 1);
    s.readFromFile = true;
    s.fromClipboard = false;
  } else if (key == u"o ") {
    setOutput(s, piece, false);
  } else if (key == u"a ") {
    setOutput(s, piece, true);
  } else if (key == u"sc") {
    s.toClipboard = true;
  } else if (key == u"se") {
    const TextView word = raw.substr(std::min(raw.size(), raw.find_first_not_of(u' ')));
    s.selectionText = word.size() > 4 ? Text(word.substr(4)) : Text();
    s.runSelection = true;
    s.readFromFile = false;
    s.fromClipboard = false;
    s.noHeader = true;
  } else if (key == u"de") {
    if (startsWithIgnoreCase(piece, u"dec"))
      setDecimals(e, piece);
    else
      s.deleteOutputs = true;
  } else if (key == u"ln") {
    Text list(afterColon(piece));
    list.insert(list.begin(), u';');
    list.push_back(u';');
    s.lineList = std::move(list);
    s.filterLines = true;
    s.append = true;
    s.noHeader = true;
    s.runSelection = false;
  } else if (key == u"lc") {
    s.lineOffset = int32_t(leadingInteger(afterColon(piece)));
  } else if (key == u"sp") {
    s.savePlots = true;
    const size_t colon = piece.find(u':');
    s.savePlotPath = valueUpToSlash(piece, colon == TextView::npos ? 0 : colon + 1);
  } else if (key == u"lo") {
    // Everything after the first ":", so that "c:\..." names work too.
    s.logToFile = true;
    s.logFileName = Text(trimBlanks(afterColon(piece)));
  } else if (key == u"rs") {
    resetRunSettings(e);
  } else if (key == u"re") {
    s.repeat = true;
  } else if (key == u"no") {
    s.noHeader = true;
  } else if (key == u"nl") {
    s.resultsOnly = true;
  } else if (key == u"nt") {
    s.noLabels = true;
  } else if (key == u"h ") {
    s.showHelp = true;
  } else if (key == u"sm") {
    s.showMemory = true;
  } else if (key == u"lg") {
    s.showLog = true;
  } else if (key == u"sf") {
    s.showFlags = true;
  } else if (key == u"cm") {
    s.showCommands = true;
  } else if (key == u"w ") {
    s.showWindow = true;
  } else if (key == u"ab") {
    s.showAbout = true;
  } else if (key == u"gc") {
    s.fromClipboard = true;
    s.readFromFile = false;
    s.runSelection = false;
  }
  // "pb", "rr" and "qu" are accepted and change nothing.
}

// Ends a selection read over several pieces: the "/" the line ends with goes.
void closeSelection(RunSettings& s) {
  Text& t = s.selectionText;
  if (!t.empty() && t.back() == u'/')
    t.pop_back();
  t = Text(trimBlanks(t));
}

}  // namespace

void parseCmdLine(Engine& e) {
  RunSettings& s = e.script.settings;
  Text line(trimBlanks(s.commandLine));
  if (line.empty() || line.back() != u'/')
    line.append(kPieceEnd);

  // The pieces after each "/"; what comes before the first one is no option.
  std::vector<TextView> pieces;
  const TextView all(line);
  for (size_t slash = all.find(u'/'); slash != TextView::npos;) {
    const size_t next = all.find(u'/', slash + 1);
    pieces.push_back(all.substr(slash + 1, (next == TextView::npos ? all.size() : next) - slash - 1));
    slash = next;
  }

  Text keys;
  bool readingSelection = false;
  for (size_t k = 0; k < pieces.size(); ++k) {
    Text piece(trimBlanks(pieces[k]));
    piece.append(kPieceEnd);
    const Text key = toLower(TextView(piece).substr(0, 2));
    keys.append(intText(int64_t(k + 1)));
    keys.append(u") ");
    keys.append(key);
    keys.push_back(u' ');

    if (readingSelection) {
      if (!isOptionKey(key)) {
        // A "/" inside the selected text: the piece belongs to it.
        s.selectionText.push_back(u'/');
        s.selectionText.append(pieces[k]);
        continue;
      }
      closeSelection(s);
      readingSelection = false;
    }
    applyOption(e, key, piece, pieces[k]);
    readingSelection = key == u"se";
  }
  if (readingSelection)
    closeSelection(s);

  if (!s.inputFile.empty() && outputNamesFolder(e, s.outputFile))
    s.outputFile = joinPath(folderPart(s.inputFile), u"Result.otm", e.platform.pathSeparator());

  Text params = u": Params  = '";
  params.append(keys);
  params.push_back(u'\'');
  procedureLog(e, u"ParseCmdLine()", params);
}

}  // namespace quadrel
