// The information block that reports and result headers start with, and the
// help screen of the command line.
#include <initializer_list>

#include "core/engine.h"
#include "core/script/reports.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

constexpr size_t kRuleWidth = 75;

constexpr const char16_t* kHelpLines[] = {
    u"Syntax: Quadrel [parameters], Quadrel /h",
    u"",
    u"parameters:",
    u" /i           InputFN[.otm] oTemar script file name (text format) to evaluate",
    u" /o           OutputFN.otm write output to file name (text format)",
    u"              if missing, OutpFN.otm in InputFN folder is used",
    u"              /a /o=overwrite - /a=append, if file exists",
    u"",
    u" /gclp        Get script text To evaluate from CLiPboard (disable /i)",
    u" /sel:'...'   evaluate SELected text (disable /i, enable /noh)",
    u" /sclp        Save result to CLiPboard (disable /o and /a)",
    u" /del         DELete output files before execution",
    u" /lns:x;y;z;  evaluate LiNenrS only - max 10 (es. /lns:1;12;23)",
    u"              forces /a parameter (append new lines to file)",
    u"              => Note: This function may give errors if result depends ",
    u"              on previous lines that where not elaborated",
    u" /lc:n        Correct Line number by n (must have /lns:)",
    u" /spl[:path\\] Save PLots screenshots (jpg) in path with sequantial",
    u"              filenames if path is missing, the same of OutputFN",
    u"              is used",
    u" /rr          Remains running preserving variables stored in memory",
    u" /dec:nr      show numbers using nr DECimals (es. /dec:3 gives 0.456)",
    u" /log[:file]  save LOG to file. If file is missing, uses otmCmds.log",
    u" /rset        ReSET RaRarevo and all command variables and strings",
    u"              all other parameters are ignored",
    u" /noh         NO Header when appending to output",
    u" /nln         No Line Number and expression repeated appending to output",
    u" /quit        QUIT if terminate stay resident",
    u"",
    u" /h           show Help screen with commands and syntax",
    u" /sm          Show Memory (i.e. variables and matrices stored internally)",
    u" /lg          show LoG file (if any)",
    u" /w           show setup Window",
    u" /cm          show CoMmands",
    u" /sf          Show internal Flags (must be /rr)",
    u" /rep         REPeat last command line",
    u"",
    u"Program Exit Code returns Command Executed and Errors count",
    u" es. 123002 means 123 Commands Executed and 2 Errors encountered",
};

void appendLine(Text& block, TextView line, bool commented) {
  if (!block.empty())
    block.append(u"\r\n");
  if (commented)
    block.push_back(u'\'');
  block.append(line);
}

}  // namespace

Text informationBlock(Engine& e, bool longForm, bool commented) {
  const ProductNames names = e.platform.productNames();
  const Text rule(kRuleWidth, u'-');
  Text block;
  appendLine(block, names.nameLine, commented);
  appendLine(block, u"Version: 0.0.4.9 - Built: " + Text(names.build) + u" (Unicode version)", commented);
  appendLine(block, u"Made by: the Quadrel developers", commented);
  if (!names.webPage.empty())
    appendLine(block, names.webPage, commented);
  appendLine(block, rule, commented);
  if (longForm) {
    appendLine(block, u"With thanks to the makers of Notepad++ and of its Scintilla editing component.", commented);
    appendLine(block,
               u"Evaluates formulas, script lines and script files: numbers, variables, functions, matrices, "
               u"derivatives, integrals, equations and plots.",
               commented);
    appendLine(block, rule, commented);
  }
  return block;
}

Text helpReport(Engine& e) {
  Text text = informationBlock(e, false, true);
  for (const char16_t* line : kHelpLines) {
    text.append(u"\r\n");
    text.append(line);
  }
  return text;
}

}  // namespace quadrel
