// The command line of the script entry: options introduced by "/", each
// recognised by the first two characters of its word.
#include "core/script/command_line.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "core/diag/debug_log.h"
#include "core/engine.h"
#include "core/eval/store_ops.h"
#include "core/script/batch_run.h"
#include "core/script/script_paths.h"
#include "core/text/number_text.h"
#include "core/text/path_text.h"
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
  e.script.decimals = int32_t(n < 0 ? 0 : (n > kMaxDecimals ? kMaxDecimals : n));
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

// One piece of the command line: the whole piece (ending in " /") and the
// piece as the line has it (the selected text is kept unchanged).
using OptionSetter = void (*)(Engine& e, TextView piece, TextView raw);

struct OptionRow {
  TextView key;  // the first two characters of the option, lower case
  OptionSetter apply;
};

RunSettings& settingsOf(Engine& e) { return e.script.settings; }

// Each option once: its key and what it sets. "pb", "rr" and "qu" are
// accepted and change nothing; a key that is none of these is ignored.
constexpr OptionRow kOptions[] = {
    {u"i ",
     [](Engine& e, TextView piece, TextView) {
       RunSettings& s = settingsOf(e);
       s.inputFile = valueUpToSlash(piece, 1);
       s.readFromFile = true;
       s.fromClipboard = false;
     }},
    {u"o ", [](Engine& e, TextView piece, TextView) { setOutput(settingsOf(e), piece, false); }},
    {u"a ", [](Engine& e, TextView piece, TextView) { setOutput(settingsOf(e), piece, true); }},
    {u"sc", [](Engine& e, TextView, TextView) { settingsOf(e).toClipboard = true; }},
    {u"se",
     [](Engine& e, TextView, TextView raw) {
       RunSettings& s = settingsOf(e);
       const TextView word = raw.substr(std::min(raw.size(), raw.find_first_not_of(u' ')));
       s.selectionText = word.size() > 4 ? Text(word.substr(4)) : Text();
       s.runSelection = true;
       s.readFromFile = false;
       s.fromClipboard = false;
       s.noHeader = true;
     }},
    {u"de",
     [](Engine& e, TextView piece, TextView) {
       if (startsWithIgnoreCase(piece, u"dec"))
         setDecimals(e, piece);
       else
         settingsOf(e).deleteOutputs = true;
     }},
    {u"ln",
     [](Engine& e, TextView piece, TextView) {
       RunSettings& s = settingsOf(e);
       Text list(afterColon(piece));
       list.insert(list.begin(), u';');
       list.push_back(u';');
       s.lineList = std::move(list);
       s.filterLines = true;
       s.append = true;
       s.noHeader = true;
       s.runSelection = false;
     }},
    {u"lc", [](Engine& e, TextView piece,
               TextView) { settingsOf(e).lineOffset = int32_t(leadingInteger(afterColon(piece))); }},
    {u"sp",
     [](Engine& e, TextView piece, TextView) {
       RunSettings& s = settingsOf(e);
       s.savePlots = true;
       const size_t colon = piece.find(u':');
       s.savePlotPath = valueUpToSlash(piece, colon == TextView::npos ? 0 : colon + 1);
     }},
    {u"lo",
     [](Engine& e, TextView piece, TextView) {
       // Everything after the first ":", so that "c:\..." names work too.
       settingsOf(e).logToFile = true;
       settingsOf(e).logFileName = Text(trimBlanks(afterColon(piece)));
     }},
    {u"rs", [](Engine& e, TextView, TextView) { resetRunSettings(e); }},
    {u"re", [](Engine& e, TextView, TextView) { settingsOf(e).repeat = true; }},
    {u"no", [](Engine& e, TextView, TextView) { settingsOf(e).noHeader = true; }},
    {u"nl", [](Engine& e, TextView, TextView) { settingsOf(e).resultsOnly = true; }},
    {u"nt", [](Engine& e, TextView, TextView) { settingsOf(e).noLabels = true; }},
    {u"pb", [](Engine&, TextView, TextView) {}},
    {u"h ", [](Engine& e, TextView, TextView) { settingsOf(e).showHelp = true; }},
    {u"sm", [](Engine& e, TextView, TextView) { settingsOf(e).showMemory = true; }},
    {u"lg", [](Engine& e, TextView, TextView) { settingsOf(e).showLog = true; }},
    {u"sf", [](Engine& e, TextView, TextView) { settingsOf(e).showFlags = true; }},
    {u"cm", [](Engine& e, TextView, TextView) { settingsOf(e).showCommands = true; }},
    {u"w ", [](Engine& e, TextView, TextView) { settingsOf(e).showWindow = true; }},
    {u"ab", [](Engine& e, TextView, TextView) { settingsOf(e).showAbout = true; }},
    {u"gc",
     [](Engine& e, TextView, TextView) {
       RunSettings& s = settingsOf(e);
       s.fromClipboard = true;
       s.readFromFile = false;
       s.runSelection = false;
     }},
    {u"rr", [](Engine&, TextView, TextView) {}},
    {u"qu", [](Engine&, TextView, TextView) {}},
};

const OptionRow* findOption(TextView key) {
  for (const OptionRow& row : kOptions)
    if (row.key == key)
      return &row;
  return nullptr;
}

// True when text is only blanks and options ("/" followed by a known key).
bool onlyOptions(TextView text) {
  text = trimBlanks(text);
  if (text.empty())
    return true;
  if (text.front() != u'/')
    return false;
  for (size_t slash = 0; slash != TextView::npos;) {
    const size_t next = text.find(u'/', slash + 1);
    Text piece(trimBlanks(text.substr(slash + 1, (next == TextView::npos ? text.size() : next) - slash - 1)));
    if (!piece.empty()) {
      piece.append(kPieceEnd);
      if (!findOption(toLower(TextView(piece).substr(0, 2))))
        return false;
    }
    slash = next;
  }
  return true;
}

// A selection written /sel:'...': where its text lies in the line.
struct QuotedSelection {
  size_t slash = 0;  // the "/" of the option
  size_t open = 0;   // its opening quote
  size_t close = 0;  // the closing quote
};

// Finds the selection of the first /sel:'...': everything up to the last
// quote that only blanks and options follow belongs to it, "/" and quotes
// included. None when no such quote closes it.
std::optional<QuotedSelection> findQuotedSelection(TextView line) {
  for (size_t slash = line.find(u'/'); slash != TextView::npos; slash = line.find(u'/', slash + 1)) {
    const size_t word = line.find_first_not_of(u' ', slash + 1);
    if (word == TextView::npos || !startsWithIgnoreCase(line.substr(word), u"sel:'"))
      continue;
    const size_t open = word + 4;
    for (size_t close = line.rfind(u'\''); close != TextView::npos && close > open;
         close = line.rfind(u'\'', close - 1))
      if (onlyOptions(line.substr(close + 1)))
        return QuotedSelection{slash, open, close};
    return std::nullopt;
  }
  return std::nullopt;
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
  // A quoted selection is taken out whole before the line is cut at "/":
  // nothing in the selected text is ever read as an option.
  const std::optional<QuotedSelection> quoted = findQuotedSelection(line);
  Text quotedText;
  if (quoted) {
    quotedText = line.substr(quoted->open, quoted->close - quoted->open + 1);
    line = line.substr(0, quoted->slash) + u"/sel " + line.substr(quoted->close + 1);
  }
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
      if (!findOption(key)) {
        // A "/" inside the selected text: the piece belongs to it.
        s.selectionText.push_back(u'/');
        s.selectionText.append(pieces[k]);
        continue;
      }
      closeSelection(s);
      readingSelection = false;
    }
    if (const OptionRow* option = findOption(key))
      option->apply(e, piece, pieces[k]);
    readingSelection = key == u"se";
  }
  if (readingSelection)
    closeSelection(s);
  s.selectionForm = RunSettings::SelectionForm::Pieces;
  if (quoted) {
    s.selectionText = std::move(quotedText);
    s.selectionForm = RunSettings::SelectionForm::Quoted;
  }

  defaultOutputName(e, s.outputFile, s.inputFile);

  Text params = u": Params  = '";
  params.append(keys);
  params.push_back(u'\'');
  procedureLog(e, u"ParseCmdLine()", params);
}

}  // namespace quadrel
