// The editor files that ship with the plug-in: the user-defined language of
// scripts and the auto-completion list name every command of the command
// table and every built-in function.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "core/eval/builtins.h"
#include "core/script/command_table.h"
#include "core/text/u16.h"

namespace quadrel {
namespace {

std::string readFile(const std::string& name) {
  std::ifstream in(std::string(QUADREL_PACKAGING_DIR) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The text of the element <Keywords name="list">...</Keywords>.
std::string keywordList(const std::string& xml, const std::string& list) {
  const std::string open = "<Keywords name=\"" + list + "\">";
  const size_t from = xml.find(open);
  if (from == std::string::npos)
    return std::string();
  const size_t start = from + open.size();
  return xml.substr(start, xml.find("</Keywords>", start) - start);
}

std::set<std::string> words(const std::string& text) {
  std::set<std::string> out;
  size_t k = 0;
  while (k < text.size()) {
    const size_t end = std::min(text.find_first_of(" \t\r\n", k), text.size());
    if (end > k)
      out.insert(text.substr(k, end - k));
    k = end + 1;
  }
  return out;
}

// Every name="..." of the auto-completion file's KeyWord elements, in file order.
std::vector<std::string> completionWords(const std::string& xml) {
  std::vector<std::string> out;
  const std::string tag = "<KeyWord name=\"";
  for (size_t at = xml.find(tag); at != std::string::npos; at = xml.find(tag, at + 1)) {
    const size_t start = at + tag.size();
    out.push_back(xml.substr(start, xml.find('"', start) - start));
  }
  return out;
}

std::vector<std::string> functionNames() {
  std::vector<std::string> out;
  for (const std::string& w : words(toUtf8(builtinFunctionNames()))) out.push_back(w);
  return out;
}

TEST(EditorFiles, TheLanguageNamesEveryCommandAndFunction) {
  const std::string udl = readFile("Quadrel-udl.xml");
  ASSERT_NE(udl.find("<UserLang name=\"Quadrel\" ext=\"otm\""), std::string::npos);
  const std::set<std::string> commands = words(keywordList(udl, "Keywords1"));
  const std::set<std::string> functions = words(keywordList(udl, "Keywords2"));
  for (const CommandEntry& row : commandTable())
    EXPECT_TRUE(commands.count(toUtf8(row.name))) << "command " << toUtf8(row.name) << " is not in Keywords1";
  const std::vector<std::string> names = functionNames();
  ASSERT_GT(names.size(), 40u);
  // Names that start with "#" (the constants) are coloured by their prefix (Keywords3, below).
  for (const std::string& f : names)
    EXPECT_TRUE(f.front() == '#' || functions.count(f)) << "function " << f << " is not in Keywords2";
  // Comments with "'", numbers with "&" and "!" prefixes and a decimal comma,
  // constants by their "#", echo blocks and matrices as delimiters.
  EXPECT_EQ(keywordList(udl, "Comments").substr(0, 8), "00&apos;");
  EXPECT_EQ(keywordList(udl, "Numbers, prefix1"), "&amp;");
  EXPECT_EQ(keywordList(udl, "Numbers, prefix2"), "!");
  EXPECT_NE(udl.find("decimalSeparator=\"1\""), std::string::npos);
  EXPECT_EQ(keywordList(udl, "Keywords3"), "#");
  EXPECT_NE(udl.find("Keywords3=\"yes\""), std::string::npos);
  EXPECT_NE(keywordList(udl, "Delimiters").find("00\\\\ 01 02//"), std::string::npos);
  EXPECT_NE(keywordList(udl, "Delimiters").find("03[ 04 05]"), std::string::npos);
}

TEST(EditorFiles, CompletionNamesEveryCommandAndFunctionInOrder) {
  const std::string xml = readFile("Quadrel.xml");
  ASSERT_NE(xml.find("<AutoComplete language=\"Quadrel\">"), std::string::npos);
  const std::vector<std::string> listed = completionWords(xml);
  const std::set<std::string> all(listed.begin(), listed.end());
  for (const CommandEntry& row : commandTable())
    EXPECT_TRUE(all.count(toUtf8(row.name))) << "command " << toUtf8(row.name) << " has no completion";
  for (const std::string& f : functionNames()) EXPECT_TRUE(all.count(f)) << "function " << f << " has no completion";
  // The editor finds words by a binary search: they must be in order, ignoring case.
  for (size_t k = 1; k < listed.size(); ++k)
    EXPECT_LT(toUtf8(toLower(fromUtf8(listed[k - 1]))), toUtf8(toLower(fromUtf8(listed[k])))) << listed[k];
  // A function shows its argument after "(", separated by ";".
  EXPECT_NE(xml.find("startFunc=\"(\" stopFunc=\")\" paramSeparator=\";\""), std::string::npos);
  EXPECT_NE(xml.find("<KeyWord name=\"sin\" func=\"yes\">"), std::string::npos);
  EXPECT_NE(xml.find("Plot(xmin; variable; xmax; n[; pointsFile]) = formula"), std::string::npos);
}

}  // namespace
}  // namespace quadrel
