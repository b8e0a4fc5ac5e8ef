// The quadrel program: its arguments, and runs of scripts, texts and "/"
// command lines with what they print and the exit codes.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_interactive.h"
#include "cli/cli_options.h"
#include "cli/cli_platform.h"
#include "cli/cli_run.h"
#include "core/engine.h"
#include "core/script/command_table.h"
#include "core/script/line_kind.h"
#include "platform/headless/linux_names.h"
#include "temp_folder.h"

namespace quadrel {
namespace {

using testing_support::TempFolder;

bool noFile(const std::string&) { return false; }
bool anyFile(const std::string&) { return true; }

CliOptions parse(std::vector<std::string> args, bool (*isFile)(const std::string&) = noFile) {
  return parseCliArguments(args, isFile);
}

TEST(CliArgumentsTest, SlashLinesGoToTheScriptEntry) {
  CliOptions o = parse({"/i", "a.otm", "/o", "b.otm"});
  EXPECT_EQ(o.action, CliOptions::Action::EntryLine);
  EXPECT_EQ(o.entryLine, u"/i a.otm /o b.otm");
  // An absolute path of an existing script is a script.
  o = parse({"/home/me/demo.otm", "--no-header"}, anyFile);
  EXPECT_EQ(o.action, CliOptions::Action::Run);
  EXPECT_EQ(o.scriptFile, "/home/me/demo.otm");
  EXPECT_TRUE(o.noHeader);
}

TEST(CliArgumentsTest, OrdinaryOptions) {
  CliOptions o = parse({"demo.otm", "--lines", "2,5", "--decimals", "3", "--no-labels", "--results-only",
                        "--log=run.log", "-o", "out.otm"});
  ASSERT_EQ(o.action, CliOptions::Action::Run) << o.error;
  EXPECT_EQ(o.scriptFile, "demo.otm");
  EXPECT_EQ(o.lineList, Text(u";2;5;"));
  EXPECT_EQ(o.decimals, 3);
  EXPECT_TRUE(o.noLabels);
  EXPECT_TRUE(o.resultsOnly);
  EXPECT_TRUE(o.log);
  EXPECT_EQ(o.logFile, "run.log");
  EXPECT_EQ(o.outputFile, "out.otm");
  EXPECT_FALSE(o.append);

  o = parse({"-e", "Expr = 1", "-e", "Expr = 2", "-a", "x.otm", "--log"});
  ASSERT_EQ(o.action, CliOptions::Action::Run) << o.error;
  EXPECT_EQ(o.expressions, (std::vector<std::string>{"Expr = 1", "Expr = 2"}));
  EXPECT_TRUE(o.append);
  EXPECT_EQ(o.logFile, "");

  o = parse({"--", "-odd.otm"});
  EXPECT_EQ(o.scriptFile, "-odd.otm");
  EXPECT_EQ(parse({"--help"}).action, CliOptions::Action::Help);
  EXPECT_EQ(parse({"--version"}).action, CliOptions::Action::Version);
}

TEST(CliArgumentsTest, WrongArguments) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--decimals", "x", "a.otm"},
           {"--decimals", "600", "a.otm"},
           {"--lines", "2,a", "a.otm"},
           {"--lines", "0", "a.otm"},
           {"--bogus", "a.otm"},
           {"a.otm", "b.otm"},
           {"a.otm", "-e", "Expr = 1"},
           {"-e"},
           {"-o"},
       }) {
    const CliOptions o = parse(args);
    EXPECT_EQ(o.action, CliOptions::Action::Usage) << args[0];
    EXPECT_FALSE(o.error.empty()) << args[0];
  }
  // Without a script the lines come from standard input.
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{{}, {"--no-header"}}) {
    const CliOptions o = parse(args);
    EXPECT_EQ(o.action, CliOptions::Action::Run);
    EXPECT_EQ(o.scriptFile, "");
    EXPECT_TRUE(o.standardInputImplied);
  }
  EXPECT_FALSE(parse({"-"}).standardInputImplied);
}

bool homeAndTmpOnly(const std::string& name) { return name == "/home" || name == "/tmp"; }

TEST(CliArgumentsTest, FileNamesOfTheEntryLineKeepTheirFolders) {
  struct Case {
    std::vector<std::string> args;
    const char16_t* line;
  };
  for (const Case& c : std::vector<Case>{
           {{"/i", "/home/me/calc.otm", "/o"}, u"/i \\home\\me\\calc.otm /o"},
           {{"/a", "/tmp/out/r.otm", "/i", "sub/in.otm"}, u"/a \\tmp\\out\\r.otm /i sub\\in.otm"},
           {{"/I", "/home/x.otm"}, u"/I \\home\\x.otm"},
           // The next option, not a name: its first folder does not exist.
           {{"/i", "a.otm", "/o", "/log", "/noh"}, u"/i a.otm /o /log /noh"},
           {{"/o", "/nothere/x.otm"}, u"/o /nothere/x.otm"},
           {{"/i", "a.otm", "/log:/tmp/run.log", "/spl:/home/me/pics/"},
            u"/i a.otm /log:\\tmp\\run.log /spl:\\home\\me\\pics\\"},
           // A selection keeps its "/".
           {{"/sel:'Expr = 2/4'", "/noh"}, u"/sel:'Expr = 2/4' /noh"},
       }) {
    const CliOptions o = parseCliArguments(c.args, noFile, homeAndTmpOnly);
    EXPECT_EQ(o.action, CliOptions::Action::EntryLine);
    EXPECT_EQ(o.entryLine, c.line) << c.args[1];
  }
}

TEST(LineKindTest, CommandsStayBareExpressionsBecomeExpr) {
  struct Case {
    const char16_t* line;
    const char16_t* scriptLine;
    int catalogueIndex;
  };
  for (const Case& c : std::vector<Case>{
           {u"2+3", u"Expr = 2+3", kLastCommandIndex},
           {u"  sin(#pi/4) ", u"Expr = sin(#pi/4)", kLastCommandIndex},
           {u"(1+2)*3", u"Expr = (1+2)*3", kLastCommandIndex},
           {u"rate*4", u"Expr = rate*4", kLastCommandIndex},
           {u"Expressions = 1", u"Expr = Expressions = 1", kLastCommandIndex},
           {u"Expr = 2+3", u"Expr = 2+3", kExprCommandIndex},
           {u"expr = 1", u"expr = 1", kExprCommandIndex},
           {u"Var = r ; 2", u"Var = r ; 2", 20},
           {u"StoExpr(t) = 2", u"StoExpr(t) = 2", 18},
           {u"aAbout", u"aAbout", kLastCommandIndex},  // a command outside the catalogue
           {u"' a comment", u"' a comment", kLastCommandIndex},
           {u"", u"", kLastCommandIndex},
       }) {
    EXPECT_EQ(asScriptLine(c.line), c.scriptLine) << toUtf8(c.line);
    EXPECT_EQ(lineKind(trimBlanks(c.line)).catalogueIndex, c.catalogueIndex) << toUtf8(c.line);
  }
}

TEST(CliPlatformTest, WindowLinesLoseTheirNumbers) {
  EXPECT_EQ(withoutLineNumber(u"12: text"), u"text");
  EXPECT_EQ(withoutLineNumber(u"1: 2: text"), u"2: text");
  EXPECT_EQ(withoutLineNumber(u"no number"), u"no number");
  EXPECT_EQ(terminalText(u"a\r\nb\rc\u00e9"), "a\nb\nc\xc3\xa9");
}

TEST(CliPlatformTest, ProgressOnlyOnATerminalAndAfterTheDelay) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  CliPlatform platform(out, err);
  platform.progressShow(u"hidden");
  platform.showProgress = true;
  platform.progressDelayMs = 60000;
  platform.progressShow(u"too early");
  platform.progressClose();
  platform.progressDelayMs = 0;
  platform.progressShow(u"|||        50.0 %");
  platform.progressClose();
  std::fflush(err);
  std::rewind(err);
  char buffer[256] = {};
  const size_t n = std::fread(buffer, 1, sizeof buffer - 1, err);
  EXPECT_EQ(std::string(buffer, n), "\r|||        50.0 %\033[K\r\033[K");
  std::fclose(out);
  std::fclose(err);
}

// Nobody answers a box of the program: a notice is confirmed, a question
// declined; the box goes to standard error, input boxes take their default.
TEST(CliPlatformTest, BoxesAnswerThemselves) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  CliPlatform platform(out, err);
  struct Case {
    BoxButtons buttons;
    int answer;
  };
  for (const Case& c : {Case{BoxButtons::Ok, kAnswerOk}, Case{BoxButtons::OkCancel, kAnswerCancel},
                        Case{BoxButtons::YesNo, kAnswerNo}, Case{BoxButtons::YesNoCancel, kAnswerNo}}) {
    EXPECT_EQ(platform.messageBox(u"Cap", u"line 1\r\nline 2", c.buttons, BoxIcon::Question), c.answer);
  }
  Text answer;
  EXPECT_TRUE(platform.inputBox(u"Quadrel Input", u"Decimals:", u"4", answer));
  EXPECT_EQ(answer, u"4");
  EXPECT_EQ(platform.openFileDialog(u"Open", u"*.otm", u""), u"");
  std::fflush(err);
  std::rewind(err);
  char buffer[512] = {};
  const size_t n = std::fread(buffer, 1, sizeof buffer - 1, err);
  std::string box = "Cap: line 1\nline 2\n";
  EXPECT_EQ(std::string(buffer, n), box + box + box + box + "Quadrel Input: Decimals: [4]\n");
  std::fclose(out);
  std::fclose(err);
}

// Runs the program's logic in a temporary working folder, catching what it prints.
class CliRunTest : public ::testing::Test {
 protected:
  TempFolder folder;
  std::string out, err;

  int runWith(std::vector<std::string> args) {
    std::FILE* o = std::tmpfile();
    std::FILE* r = std::tmpfile();
    CliPlatform platform(o, r);
    Engine engine(platform);
    std::string dir = toUtf8(folder.text());
    dir.pop_back();
    const int code = runCli(engine, parseCliArguments(args, noFile), dir, o, r);
    out = readAll(o);
    err = readAll(r);
    return code;
  }

  static std::string readAll(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string s;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) s.append(buffer, n);
    std::fclose(f);
    return s;
  }
};

TEST_F(CliRunTest, ScriptTextPrintsItsResult) {
  EXPECT_EQ(runWith({"-e", "Expr = 2+3", "-e", "Hex = 255", "--results-only", "--report"}), 0);
  EXPECT_EQ(out, " Result => Number = 5.0000\n\n Result => Number = &FF\n");
  EXPECT_EQ(err, "");
}

TEST_F(CliRunTest, ScriptFileRun) {
  folder.put("demo.otm", "Expr = 1+1\r\nExpr = 2*3\r\n");
  EXPECT_EQ(runWith({"demo.otm"}), 0);
  EXPECT_EQ(out.rfind("'Program name: quadrel (", 0), 0u);
  EXPECT_NE(out.find("\nLn 2: EXPR = 2*3: " + std::string(20, ' ') + "\n Result => Number = 6.0000\n"),
            std::string::npos);
  EXPECT_EQ(out.find('\r'), std::string::npos);
  // Only -o writes a result file.
  EXPECT_FALSE(folder.exists("Result.otm"));
}

TEST_F(CliRunTest, LineSelectionAppendsToANewResultFile) {
  folder.put("demo.otm", "Expr = 1\r\nExpr = 2\r\nExpr = 3\r\n");
  EXPECT_EQ(runWith({"demo.otm", "--lines", "2", "--no-labels", "-o", "Result.otm"}), 0) << err;
  EXPECT_EQ(out, "Ln 2: EXPR = 2: " + std::string(20, ' ') + "\n 2.0000\n");
  EXPECT_EQ(folder.get("Result.otm").rfind("Ln 2: EXPR = 2:", 0), 0u);
}

TEST_F(CliRunTest, ScriptTextToAFile) {
  EXPECT_EQ(runWith({"-e", "Expr = 7", "-o", "out.otm", "--decimals", "1", "--results-only", "--report"}), 0);
  EXPECT_EQ(folder.get("out.otm"), " Result => Number = 7.0\r\n");
}

TEST_F(CliRunTest, EntryLineReportsPrintTheirLines) {
  EXPECT_EQ(runWith({"/h"}), 0);
  EXPECT_EQ(out.rfind("'Program name: quadrel (", 0), 0u);
  EXPECT_NE(out.find("\nSyntax: Quadrel [parameters], Quadrel /h\n\nparameters:\n"), std::string::npos);
}

TEST_F(CliRunTest, BareExpressionsAndTheirExitCodes) {
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char* out;
  };
  for (const Case& c : std::vector<Case>{
           {{"-e", "2+3", "--results-only", "--report"}, 0, " Result => Number = 5.0000\n"},
           {{"-e", "Var = r ; 2\n\nr*3", "--no-labels"}, 0, nullptr},
           {{"-e", "Expr = 2+", "--results-only"}, 3, nullptr},
           {{"-e", "1", "-e", "sqr(", "--results-only"}, 3, nullptr},
           {{"/noh"}, 1, nullptr},
           {{"-e", "1", "--bogus"}, 2, nullptr},
       }) {
    EXPECT_EQ(runWith(c.args), c.exitCode) << c.args[1];
    if (c.out) {
      EXPECT_EQ(out, c.out);
    }
  }
  // Line numbers count the empty line; the bare line ran as a formula.
  runWith({"-e", "Var = r ; 2\n\nr*3", "--no-labels", "--report"});
  EXPECT_NE(out.find("Ln 3: EXPR = r*3: "), std::string::npos) << out;
  EXPECT_NE(out.find(" 6.0000\n"), std::string::npos) << out;
  // A "/" command line's exit code counts its failed commands too.
  folder.put("bad.otm", "Expr = 1\r\nExpr = (\r\n");
  EXPECT_EQ(runWith({"/i", "bad.otm", "/noh"}), 3);
}

TEST_F(CliRunTest, AbsolutePathsInAnEntryLine) {
  folder.put("calc.otm", "Expr = 6*7\r\n");
  const std::string script = toUtf8(folder.file("calc.otm"));
  EXPECT_EQ(runWith({"/i", script, "/o", "/noh"}), 0) << err;
  EXPECT_NE(out.find("= 42.0000"), std::string::npos) << out;
  EXPECT_NE(folder.get("Result.otm").find("= 42.0000"), std::string::npos);
  EXPECT_EQ(runWith({"/i", script, "/o", toUtf8(folder.file("other.otm")), "/noh"}), 0) << err;
  EXPECT_NE(folder.get("other.otm").find("= 42.0000"), std::string::npos);
}

// Typed lines from a list.
class ListedLines : public LineSource {
 public:
  explicit ListedLines(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  bool readLine(std::string& line) override {
    if (next_ >= lines_.size())
      return false;
    line = lines_[next_++];
    return true;
  }
  size_t read() const { return next_; }

 private:
  std::vector<std::string> lines_;
  size_t next_ = 0;
};

TEST_F(CliRunTest, InteractiveLinesShareTheirStores) {
  ListedLines lines({"Var = r ; 2", "", "Funct = area ; 2*r", "area+1", "  QUIT ", "Expr = 99"});
  CliOptions options = parseCliArguments({"--decimals", "1"}, noFile);
  std::FILE* o = std::tmpfile();
  std::FILE* r = std::tmpfile();
  CliPlatform platform(o, r);
  Engine engine(platform);
  std::string dir = toUtf8(folder.text());
  EXPECT_EQ(runInteractive(engine, options, dir, lines, o, r), 0);
  out = readAll(o);
  EXPECT_EQ(out, "5.0\n");
  EXPECT_EQ(out.find("99"), std::string::npos) << "a line after quit ran";
  EXPECT_EQ(lines.read(), 5u);
  EXPECT_EQ(readAll(r), "");
}

TEST_F(CliRunTest, InteractiveExitCodes) {
  struct Case {
    std::vector<std::string> args, lines;
    int exitCode;
  };
  for (const Case& c : std::vector<Case>{
           {{}, {"1+1", "2+"}, 3},
           {{}, {"2+", "1+1"}, 3},
           {{}, {}, 0},
           {{"-o", "x.otm"}, {"1"}, 2},
           {{"--lines", "1"}, {"1"}, 2},
       }) {
    ListedLines lines(c.lines);
    std::FILE* o = std::tmpfile();
    std::FILE* r = std::tmpfile();
    CliPlatform platform(o, r);
    Engine engine(platform);
    EXPECT_EQ(runInteractive(engine, parseCliArguments(c.args, noFile), toUtf8(folder.text()), lines, o, r),
              c.exitCode);
    std::fclose(o);
    std::fclose(r);
  }
}

TEST_F(CliRunTest, BoxesGoToStandardError) {
  runWith({"/i", "missing.otm", "/noh"});
  EXPECT_EQ(err.rfind("Quadrel: Error 4: can't read the file\n", 0), 0u) << err;
}

TEST_F(CliRunTest, UnreadableScriptAndWrongArguments) {
  EXPECT_EQ(runWith({"missing.otm"}), 2);
  EXPECT_EQ(err, "quadrel: cannot read missing.otm\n");
  EXPECT_EQ(runWith({"--bogus"}), 2);
  EXPECT_EQ(err, "quadrel: unknown option '--bogus' (quadrel --help lists the options)\n");
}

// -e lines print what a calculator prints: the value, nothing else; errors
// go to standard error and make the exit status 3.
TEST_F(CliRunTest, ScriptTextPrintsValuesAlone) {
  const std::string divisionByZero = "===> ERROR n. = 8: Division by zero             (Module: eval & sDiff)\n";
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string out, err;
  };
  for (const Case& c : std::vector<Case>{
           {{"-e", "2+3"}, 0, "5.0000\n", ""},
           {{"-e", "Hex = 255", "-e", "Bin = 5"}, 0, "&FF\n!101\n", ""},
           {{"-e", "Var = r ; 2", "-e", "Funct = area ; pi*r^2", "-e", "area"}, 0, "12.5664\n", ""},
           {{"-e", "Matr = [mA];2;2;4;7;2;6", "-e", "[mA]*[mA]"},
            0,
            "A(0,0)=30.0000\tA(0,1)=70.0000\nA(1,0)=20.0000\tA(1,1)=50.0000\n",
            ""},
           {{"-e", "Integrate(0; 1; 100; trap; x) = x^2", "--decimals", "2"}, 0, "0.33\n", ""},
           {{"-e", "VarPolyn = x", "-e", "Derivate = x^3-2x+5"}, 0, "3*x^2 - 2\n", ""},
           {{"-e", "1/0", "-e", "7"}, 3, "7.0000\n", divisionByZero},
           {{"-e", "1/0", "--no-labels"}, 3, "", divisionByZero},
           {{"-e", "Var = r ; 2"}, 0, "", ""},
           // Lines of an echo block are copied, not run: no value of theirs.
           {{"-e", "Var = r ; 2\n\\\\ notes\nr\n//\nr*3"}, 0, "6.0000\n", ""},
       }) {
    EXPECT_EQ(runWith(c.args), c.exitCode) << c.args[1];
    EXPECT_EQ(out, c.out) << c.args[1];
    EXPECT_EQ(err, c.err) << c.args[1];
  }
  // -o keeps what was shown.
  EXPECT_EQ(runWith({"-e", "6*7", "-o", "values.txt"}), 0);
  EXPECT_EQ(folder.get("values.txt"), "42.0000\r\n");
}

TEST_F(CliRunTest, AFileRunWritesAResultFileOnlyWhenAsked) {
  folder.put("calc.otm", "Expr = 6*7\r\n");
  folder.put("Result.otm", "a user's own file\n");
  EXPECT_EQ(runWith({"calc.otm"}), 0) << err;
  EXPECT_NE(out.find(" Result => Number = 42.0000"), std::string::npos) << out;
  EXPECT_EQ(folder.get("Result.otm"), "a user's own file\n");
  EXPECT_EQ(runWith({"-o", "out.otm", "calc.otm"}), 0) << err;
  EXPECT_NE(folder.get("out.otm").find(" Result => Number = 42.0000"), std::string::npos);
  EXPECT_NE(folder.get("out.otm").find("'--- End Of BatchRun"), std::string::npos);
}

TEST_F(CliRunTest, TheProgramNamesItself) {
  folder.put("calc.otm", "Expr = 1\r\n");
  runWith({"calc.otm"});
  EXPECT_EQ(out.rfind("'Program name: quadrel (", 0), 0u) << out;
  EXPECT_NE(out.find("\n'Incorporates library quadrel - rel. "), std::string::npos) << out;
  EXPECT_EQ(out.find("Quadrel.dll"), std::string::npos) << out;
  EXPECT_EQ(out.find("oTemar"), std::string::npos) << out;
  EXPECT_EQ(out.find("Web page"), std::string::npos) << out;
  EXPECT_EQ(out.find("Built: 66."), std::string::npos) << out;
  EXPECT_NE(out.find("Built: " + toUtf8(buildDate()) + " (Unicode version)"), std::string::npos) << out;
  EXPECT_EQ(runWith({"--version"}), 0);
  const std::string version = std::to_string(QUADREL_VERSION_MAJOR) + "." + std::to_string(QUADREL_VERSION_MINOR) +
                              "." + std::to_string(QUADREL_VERSION_PATCH) + "." + std::to_string(QUADREL_VERSION_TWEAK);
  EXPECT_EQ(out, "quadrel " + version + " (built " + toUtf8(buildDate()) + ")\n");
  // A plot neither shown nor saved says how to get its picture.
  runWith({"-e", "Plot(0; x; 10; 10) = x*x"});
  EXPECT_EQ(out, "(no picture: quadrel --plots DIR saves plots as pictures)\n");
}

TEST_F(CliRunTest, WrongOptionsTakeOneLine) {
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  for (const Case& c : std::vector<Case>{
           {{"--bogus"}, "quadrel: unknown option '--bogus' (quadrel --help lists the options)\n"},
           {{"/bogus"}, "quadrel: unknown option '/bogus' (quadrel --help lists the options)\n"},
           {{"/i", "a.otm", "/xy"}, "quadrel: unknown option '/xy' (quadrel --help lists the options)\n"},
           {{"--decimals", "x", "-e", "1"},
            "quadrel: --decimals needs a number from 0 to 512 (quadrel --help lists the options)\n"},
       }) {
    EXPECT_EQ(runWith(c.args), 2) << c.args[0];
    EXPECT_EQ(err, c.err);
    EXPECT_EQ(out, "");
  }
  // Known options of the entry, and the text of a selection, are no such case.
  EXPECT_EQ(runWith({"/sel:'Expr", "=", "8", "/4'", "/noh"}), 0) << err;
  EXPECT_EQ(runWith({"/noh"}), 1);
  EXPECT_EQ(err.rfind("quadrel: nothing to run", 0), 0u) << err;
}

TEST_F(CliRunTest, InteractiveAnsIsTheLastNumberShown) {
  ListedLines lines({"6*7", "ans+1", "Var = r ; 1", "ans*2", "1/0", "ans"});
  std::FILE* o = std::tmpfile();
  std::FILE* r = std::tmpfile();
  CliPlatform platform(o, r);
  Engine engine(platform);
  EXPECT_EQ(runInteractive(engine, parseCliArguments({}, noFile), toUtf8(folder.text()), lines, o, r), 3);
  EXPECT_EQ(readAll(o), "42.0000\n43.0000\n86.0000\n86.0000\n");
}

}  // namespace
}  // namespace quadrel
