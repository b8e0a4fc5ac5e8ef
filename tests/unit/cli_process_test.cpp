// The quadrel program as a shell runs it: pipes, script files from pipes,
// result files, wrong options, exit statuses.
#ifdef QUADREL_CLI_PROGRAM

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace quadrel {
namespace {

using testing_support::TempFolder;

struct Outcome {
  std::string out, err;
  int status = -1;
};

// Runs a shell command in folder, the program being "$Q"; the exit status
// is that of the command's last program.
Outcome shell(const TempFolder& folder, const std::string& command) {
  const std::string dir = toUtf8(folder.text());
  const std::string line =
      "cd '" + dir + "' && Q='" + QUADREL_CLI_PROGRAM + "' bash -c '" + command + "' 2>'" + dir + "stderr.txt'";
  Outcome o;
  std::FILE* p = popen(line.c_str(), "r");
  if (!p)
    return o;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) o.out.append(buffer, n);
  const int status = pclose(p);
  o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  o.err = folder.get("stderr.txt");
  return o;
}

TEST(CliProcessTest, ShellUse) {
  const std::string script = "printf \"Expr = 6*7\\n\" ";
  const std::string divisionByZero = "===> ERROR n. = 8: Division by zero             (Module: eval & sDiff)\n";
  struct Case {
    std::string command, out, err;
    int status;
  };
  for (const Case& c : std::vector<Case>{
           // Lines from a pipe print values, as -e does.
           {"echo 2+3 | $Q", "5.0000\n", "", 0},
           {"printf \"2+3\\n1/0\\nmax(1;2;3)\\n\" | $Q", "5.0000\n3.0000\n", divisionByZero, 3},
           // A script file from a pipe prints its result block and writes no file.
           {script + "| $Q - | grep Result; ls", " Result => Number = 42.0000\nstderr.txt\n", "", 0},
           {script + "| $Q /dev/stdin | grep Result; ls", " Result => Number = 42.0000\nstderr.txt\n", "", 0},
           {"$Q <(" + script + ") | grep Result; ls /dev | grep -c Result.otm", " Result => Number = 42.0000\n0\n", "",
            1},
           {script + "> calc.otm; $Q calc.otm > /dev/null; ls", "calc.otm\nstderr.txt\n", "", 0},
           {script + "> calc.otm; $Q -o out.otm calc.otm > /dev/null; grep -c \"Number = 42.0000\" out.otm", "1\n", "",
            0},
           // Errors on standard error, one line for a wrong option.
           {"$Q -e 1/0", "", divisionByZero, 3},
           {"$Q --bogus", "", "quadrel: unknown option '--bogus' (quadrel --help lists the options)\n", 2},
           {"$Q /bogus", "", "quadrel: unknown option '/bogus' (quadrel --help lists the options)\n", 2},
           {"$Q missing.otm", "", "quadrel: cannot read missing.otm\n", 2},
           {"$Q --report -e 2+3", "Ln 1: EXPR = 2+3: " + std::string(20, ' ') + "\n Result => Number = 5.0000\n", "",
            0},
       }) {
    TempFolder folder;
    const Outcome o = shell(folder, c.command);
    EXPECT_EQ(o.out, c.out) << c.command;
    EXPECT_EQ(o.err, c.err) << c.command;
    EXPECT_EQ(o.status, c.status) << c.command;
  }
}

// Input past a limit: a clear message and an exit status, never an abort or
// a run without end.
TEST(CliProcessTest, InputPastALimitEndsWithAClearError) {
  const std::string invalid = "===> ERROR n. = 13: Invalid parameter/argument   (Module: eval)\n";
  const std::string tooLargeInput = "quadrel: the standard input is larger than the limit of a text file (64 MiB)\n";
  std::string sum = "x";
  for (int k = 1; k < 1000; ++k) sum += "+x";
  struct Case {
    std::string command, out, errPart;
    int status;
  };
  for (const Case& c : std::vector<Case>{
           // An endless device named as a file of formulas.
           {"$Q -e \"ExprF = /dev/zero\"", "", "Limit: a text file may hold at most 64 MiB", 3},
           {"$Q -e \"ExprF = /dev/zero\"", "", invalid, 3},
           // Standard input without end, or past the limit.
           {"head -c 70000000 /dev/zero | $Q -", "", tooLargeInput, 2},
           {"yes 1+1 | $Q", "", tooLargeInput, 2},
           // A plot of two thousand million intervals is refused unsampled.
           {"$Q -e \"Plot(0; x; 1; 2000000000) = x\"", "", invalid, 3},
           // The derivative of a 1000-term sum.
           {"$Q -e \"sDiff(x) = " + sum + "\"", "1000\n", "", 0},
       }) {
    TempFolder folder;
    const Outcome o = shell(folder, c.command);
    EXPECT_EQ(o.out, c.out) << c.command;
    if (c.errPart.empty())
      EXPECT_EQ(o.err, "") << c.command;
    else
      EXPECT_NE(o.err.find(c.errPart), std::string::npos) << c.command << "\n" << o.err;
    EXPECT_EQ(o.status, c.status) << c.command;
  }
}

TEST(CliProcessTest, PlotsSavedOrNot) {
  TempFolder folder;
  Outcome o = shell(folder, "$Q -e \"Plot(0; x; 10; 10) = x*x\"; ls");
  EXPECT_EQ(o.out, "(no picture: quadrel --plots DIR saves plots as pictures)\nstderr.txt\n");
  o = shell(folder, "mkdir pictures; $Q --plots pictures -e \"Plot(0; x; 10; 10) = x*x\"");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_NE(o.out.find("aPlotNr_"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find(".jpg"), std::string::npos) << o.out;
  EXPECT_TRUE(folder.exists("pictures/aPlotNr_01.jpg") || folder.exists("pictures/aPlotNr_1.jpg")) << o.out;
}

}  // namespace
}  // namespace quadrel

#endif  // QUADREL_CLI_PROGRAM
