// The command catalogue: the 26 script command names with the kind of
// confirmation the editor asks and the message it shows after running one.
#pragma once

#include <cstdint>
#include <span>

#include "core/text/u16.h"

namespace quadrel {

struct CommandEntry {
  const char16_t* name;
  uint8_t kind;  // 0, 1: evaluate; 2: load into memory; 3: execute
  const char16_t* resultMessage;
};

constexpr int kExprCommandIndex = 6;
constexpr int kLastCommandIndex = 25;

std::span<const CommandEntry> commandCatalogue();
// Index of the catalogue entry whose name equals word (any case), or -1.
int findCommand(TextView word);

}  // namespace quadrel
