// Golden scripts: every tests/scripts/NAME.otm runs through the command
// executor and must give exactly NAME.expected. A comment line
// "' golden: ..." of the script sets the run: results-only, no-labels,
// decimals=N, lines=A;B (the line filter), offset=N, code=N (the answer
// commands x 1000 + errors). Expected files have "\n" line ends; results
// have "\r\n".
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "core/engine.h"
#include "core/script/executor.h"
#include "platform/headless/headless_platform.h"
#include "temp_folder.h"

namespace quadrel {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> goldenScripts() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(QUADREL_GOLDEN_DIR, ec))
    if (entry.path().extension() == ".otm")
      names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.is_open()) << path;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every line end written as "\r\n".
Text withCrLf(const std::string& bytes) {
  Text t = fromUtf8(bytes);
  replaceAll(t, u"\r\n", u"\n");
  replaceAll(t, u"\n", u"\r\n");
  return t;
}

struct GoldenRun {
  ExecOptions options;
  int32_t decimals = 4;
  int32_t code = -1;  // -1: not checked
};

GoldenRun runSettings(const std::string& script) {
  GoldenRun run;
  std::istringstream lines(script);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("' golden:", 0) != 0)
      continue;
    std::istringstream words(line.substr(9));
    for (std::string w; words >> w;) {
      const size_t eq = w.find('=');
      const std::string key = w.substr(0, eq), value = eq == std::string::npos ? "" : w.substr(eq + 1);
      if (key == "results-only")
        run.options.resultsOnly = true;
      else if (key == "no-labels")
        run.options.noLabels = true;
      else if (key == "decimals")
        run.decimals = std::stoi(value);
      else if (key == "lines") {
        run.options.filterLines = true;
        run.options.lineList = u";" + fromUtf8(value) + u";";
      } else if (key == "offset")
        run.options.lineOffset = std::stoi(value);
      else if (key == "code")
        run.code = std::stoi(value);
      else
        ADD_FAILURE() << "unknown golden setting " << key;
    }
  }
  return run;
}

class GoldenScriptTest : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenScriptTest, GivesTheExpectedResult) {
  const fs::path dir(QUADREL_GOLDEN_DIR);
  const std::string script = readFile(dir / (GetParam() + ".otm"));
  std::string expected = readFile(dir / (GetParam() + ".expected"));
  if (!expected.empty() && expected.back() == '\n')
    expected.pop_back();
  const GoldenRun run = runSettings(script);

  HeadlessPlatform platform;
  platform.fixedTime = true;
  Engine e(platform);
  testing_support::TempFolder folder;
  e.script.settings.dataFolder = folder.text();
  e.script.decimals = run.decimals;
  Text result;
  const int32_t code = execCommands(e, withCrLf(script), result, run.options);

  EXPECT_EQ(toUtf8(result), toUtf8(withCrLf(expected)));
  if (run.code != -1) {
    EXPECT_EQ(code, run.code);
  }
}

INSTANTIATE_TEST_SUITE_P(Scripts, GoldenScriptTest, ::testing::ValuesIn(goldenScripts()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c)))
                               c = '_';
                           return name;
                         });

TEST(GoldenScriptsFolder, HoldsScriptsWithExpectations) {
  const std::vector<std::string> names = goldenScripts();
  EXPECT_GE(names.size(), 5u);
  for (const std::string& name : names)
    EXPECT_TRUE(fs::exists(fs::path(QUADREL_GOLDEN_DIR) / (name + ".expected"))) << name;
}

}  // namespace
}  // namespace quadrel
