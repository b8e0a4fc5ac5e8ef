// The command line of the script entry: options by their two-character keys,
// the selection that may contain "/", the default output name, the line
// list, decimals and the debug line of the keys.
#include "core/diag/debug_log.h"
#include "core/eval/store_ops.h"
#include "script_entry_fixture.h"

namespace quadrel {
namespace {

using testing_support::ScriptEntryTest;

class CommandLineTest : public ScriptEntryTest {};

TEST_F(CommandLineTest, InputAndOutputNames) {
  parse(u"/i test.otm /o out.otm");
  EXPECT_EQ(s.inputFile, u"test.otm");
  EXPECT_TRUE(s.readFromFile);
  EXPECT_EQ(s.outputFile, u"out.otm");
  EXPECT_TRUE(s.writeToFile);
  EXPECT_FALSE(s.append);
  EXPECT_FALSE(s.noHeader);
}

TEST_F(CommandLineTest, OutputDefaultsToResultBesideTheInput) {
  parse(u"/i c:\\data\\test.otm");
  EXPECT_EQ(s.outputFile, u"c:\\data\\Result.otm");
  EXPECT_FALSE(s.writeToFile);

  // An output naming a folder counts as none.
  parse(u"/i sub\\in.otm /o c:\\results\\");
  EXPECT_EQ(s.outputFile, u"sub\\Result.otm");

  parse(u"/i in.otm /o");
  EXPECT_EQ(s.outputFile, u"Result.otm");

  // A name for a file that does not exist yet is kept.
  parse(u"/i in.otm /o new.otm");
  EXPECT_EQ(s.outputFile, u"new.otm");
}

TEST_F(CommandLineTest, AppendImpliesNoHeaderAndALaterOutputUndoesIt) {
  parse(u"/a out.otm /i in.otm");
  EXPECT_TRUE(s.append);
  EXPECT_TRUE(s.noHeader);
  EXPECT_EQ(s.outputFile, u"out.otm");

  parse(u"/a out.otm /o out2.otm");
  EXPECT_FALSE(s.append);
  EXPECT_FALSE(s.noHeader);
  EXPECT_EQ(s.outputFile, u"out2.otm");
}

TEST_F(CommandLineTest, SelectionKeepsTheSlashesOfItsText) {
  parse(u"/i in.otm /sel:'Expr = 2/4'");
  EXPECT_EQ(s.selectionText, u"'Expr = 2/4'");
  EXPECT_TRUE(s.runSelection);
  EXPECT_FALSE(s.readFromFile);
  EXPECT_TRUE(s.noHeader);

  // Blanks inside stay; the first option after the text ends it.
  parse(u"/sel:'Expr = 8 / 2/2' /nln /sclp");
  EXPECT_EQ(s.selectionText, u"'Expr = 8 / 2/2'");
  EXPECT_TRUE(s.resultsOnly);
  EXPECT_TRUE(s.toClipboard);

  // Inside the quotes a piece that begins like an option is text; without a
  // closing quote it ends the text there.
  parse(u"/sel:'Expr = 4/no'");
  EXPECT_EQ(s.selectionText, u"'Expr = 4/no'");
  parse(u"/sel:'Expr = 4/no");
  EXPECT_EQ(s.selectionText, u"'Expr = 4");

  parse(u"/sel");
  EXPECT_EQ(s.selectionText, u"");
}

TEST_F(CommandLineTest, LineListAndOffset) {
  s.runSelection = true;
  parse(u"/lns:2;5 /lc:3");
  EXPECT_EQ(s.lineList, u";2;5;");
  EXPECT_TRUE(s.filterLines);
  EXPECT_TRUE(s.append);
  EXPECT_TRUE(s.noHeader);
  EXPECT_FALSE(s.runSelection);
  EXPECT_EQ(s.lineOffset, 3);

  parse(u"/lns:1;12;23;");
  EXPECT_EQ(s.lineList, u";1;12;23;;");
}

TEST_F(CommandLineTest, DecimalsOptionDeletesNothing) {
  parse(u"/dec:3");
  EXPECT_EQ(e.script.decimals, 3);
  EXPECT_FALSE(s.deleteOutputs);

  parse(u"/decimals:6");
  EXPECT_EQ(e.script.decimals, 6);
  parse(u"/dec 2");
  EXPECT_EQ(e.script.decimals, 2);
  // Without a number the setting stays.
  parse(u"/dec:x");
  EXPECT_EQ(e.script.decimals, 2);
  parse(u"/dec:99999");
  EXPECT_EQ(e.script.decimals, 512);
  EXPECT_FALSE(s.deleteOutputs);

  parse(u"/del");
  EXPECT_TRUE(s.deleteOutputs);
  EXPECT_EQ(e.script.decimals, 512);
}

TEST_F(CommandLineTest, ClipboardInputReplacesFileAndSelection) {
  parse(u"/i in.otm /gclp");
  EXPECT_TRUE(s.fromClipboard);
  EXPECT_FALSE(s.readFromFile);
  parse(u"/i in.otm");
  EXPECT_FALSE(s.fromClipboard);
  EXPECT_TRUE(s.readFromFile);
}

TEST_F(CommandLineTest, FlagOptions) {
  parse(u"/sclp /nt /nln /noh /rep /h /sm /lg /sf /cm /w /about");
  EXPECT_TRUE(s.toClipboard);
  EXPECT_TRUE(s.noLabels);
  EXPECT_TRUE(s.resultsOnly);
  EXPECT_TRUE(s.noHeader);
  EXPECT_TRUE(s.repeat);
  EXPECT_TRUE(s.showHelp);
  EXPECT_TRUE(s.showMemory);
  EXPECT_TRUE(s.showLog);
  EXPECT_TRUE(s.showFlags);
  EXPECT_TRUE(s.showCommands);
  EXPECT_TRUE(s.showWindow);
  EXPECT_TRUE(s.showAbout);
}

TEST_F(CommandLineTest, KeysAreTwoCharactersAnyCase) {
  // "nothing" begins with "no": it is /noh.
  parse(u"/NOTHING /Nln");
  EXPECT_TRUE(s.noHeader);
  EXPECT_TRUE(s.resultsOnly);
  // "/help" has the key "he", which is none; /rr, /quit and /pbar change nothing.
  parse(u"/help /rr /quit /pbar");
  EXPECT_FALSE(s.showHelp);
  EXPECT_FALSE(s.remainResident);
  EXPECT_FALSE(s.quit);
}

TEST_F(CommandLineTest, SavePlotsAndLogNames) {
  parse(u"/spl");
  EXPECT_TRUE(s.savePlots);
  EXPECT_EQ(s.savePlotPath, u"spl");
  parse(u"/spl:c:\\pics\\");
  EXPECT_EQ(s.savePlotPath, u"c:\\pics\\");

  parse(u"/log");
  EXPECT_TRUE(s.logToFile);
  EXPECT_EQ(s.logFileName, u"");
  parse(u"/log:run.log");
  EXPECT_EQ(s.logFileName, u"run.log");
  // A drive letter is part of the name.
  parse(u"/log:c:\\logs\\run.log");
  EXPECT_EQ(s.logFileName, u"c:\\logs\\run.log");
}

TEST_F(CommandLineTest, ResetClearsTheRunSettingsAndTheStores) {
  defineEntry(e, u"x", u"2", false);
  parse(u"/i a.otm /o b.otm /nln /noh /lns:2 /lc:1 /spl:c:\\p\\");
  parse(u"/rset");
  EXPECT_TRUE(s.resetRequested);
  EXPECT_EQ(s.inputFile, u"");
  EXPECT_FALSE(s.readFromFile);
  EXPECT_EQ(s.outputFile, u"");
  EXPECT_FALSE(s.writeToFile);
  EXPECT_FALSE(s.resultsOnly);
  EXPECT_FALSE(s.noHeader);
  EXPECT_FALSE(s.append);
  EXPECT_EQ(s.lineOffset, 0);
  EXPECT_FALSE(s.filterLines);
  EXPECT_EQ(s.savePlotPath, u"");
  EXPECT_FALSE(s.savePlots);
  EXPECT_TRUE(e.variables.empty());
}

TEST_F(CommandLineTest, DebugLineListsTheKeys) {
  e.diag.pluginDebug = 1;
  parse(u"/i a.otm /noh");
  ASSERT_FALSE(p.debugLines.empty());
  EXPECT_EQ(p.debugLines.back(), procedureLine(u"ParseCmdLine()", u": Params  = '1) i  2) no 3)  / '"));
}

}  // namespace
}  // namespace quadrel
