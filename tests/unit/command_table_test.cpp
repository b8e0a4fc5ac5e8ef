// The command rows: every command the editor offers runs, names match in any
// case, and the kinds decide the editor's question.
#include "core/script/command_table.h"

#include <gtest/gtest.h>

#include "core/script/line_kind.h"

namespace quadrel {
namespace {

TEST(CommandTableTest, EveryCatalogueCommandHasAHandlerInAnyCase) {
  for (const CommandEntry& row : commandCatalogue()) {
    SCOPED_TRACE(toUtf8(row.name));
    EXPECT_NE(row.handler, nullptr);
    EXPECT_EQ(findHandler(toLower(row.name)), row.handler);
    EXPECT_TRUE(lineKind(Text(row.name) + u" = 1").isCommand);
  }
}

TEST(CommandTableTest, NamesAndKinds) {
  struct Case {
    const char16_t* word;
    int catalogueIndex;  // -1: not offered by the editor
    bool runs;
  } const cases[] = {
      {u"EXPR", kExprCommandIndex, true},
      {u"sdifff", kLastCommandIndex, true},
      {u"aAbout", -1, true},
      {u"SolvePolyn", -1, true},
      {u"aElemOrderSet", -1, true},
      {u"Exprs", -1, false},
      {u"", -1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.word));
    EXPECT_EQ(findCommand(c.word), c.catalogueIndex);
    EXPECT_EQ(findHandler(c.word) != nullptr, c.runs);
  }
  const auto catalogue = commandCatalogue();
  EXPECT_EQ(catalogue[size_t(findCommand(u"Var"))].kind, CommandKind::Load);
  EXPECT_EQ(catalogue[size_t(findCommand(u"Plot"))].kind, CommandKind::Execute);
  EXPECT_EQ(catalogue[size_t(findCommand(u"Integrate"))].kind, CommandKind::Evaluate);
}

}  // namespace
}  // namespace quadrel
