// Shared helpers of the script entry tests: a fresh engine on the headless
// platform with a fixed clock, its data folder in a private temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/engine.h"
#include "core/script/command_line.h"
#include "core/text/u16.h"
#include "platform/headless/headless_platform.h"
#include "temp_folder.h"

namespace quadrel {

namespace testing_support {

class ScriptEntryTest : public ::testing::Test {
 protected:
  HeadlessPlatform p;
  Engine e{p};
  TempFolder folder;
  RunSettings& s = e.script.settings;

  void SetUp() override {
    p.fixedTime = true;
    p.time = {2026, 12, 7, 14, 5, 9};
    s.dataFolder = folder.text();
  }

  // Parses a command line into the run settings.
  void parse(TextView line) {
    s.commandLine = Text(line);
    parseCmdLine(e);
  }

  int32_t run(TextView line) { return otmEvalMain(e, line); }

  // The messages window lines of the reports, in order.
  bool windowHas(TextView line) const {
    for (const Text& l : p.windowLines)
      if (l == line)
        return true;
    return false;
  }
};

inline bool contains(TextView haystack, TextView needle) { return haystack.find(needle) != TextView::npos; }

// A text of lines joined with CR LF, each ending with one.
inline Text crlfLines(std::initializer_list<TextView> lines) {
  Text t;
  for (TextView l : lines) {
    t.append(l);
    t.append(u"\r\n");
  }
  return t;
}

}  // namespace testing_support
}  // namespace quadrel
