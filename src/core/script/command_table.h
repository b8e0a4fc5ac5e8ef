// The script commands, one row each: the name, the handler, the kind of
// confirmation the editor asks before running it and the message it shows
// after. The rows up to kLastCommandIndex are the editor's command catalogue
// in its fixed order; the rows after it are commands it does not offer.
#pragma once

#include <cstdint>
#include <span>

#include "core/text/u16.h"

namespace quadrel {

struct CommandContext;
using CommandHandler = void (*)(CommandContext&);

// What the editor asks before running a command: Other and Evaluate ask to
// evaluate, Load to load into memory, Execute to execute.
enum class CommandKind : uint8_t { Other, Evaluate, Load, Execute };

struct CommandEntry {
  const char16_t* name;
  CommandHandler handler;
  CommandKind kind;
  const char16_t* resultMessage;
};

constexpr int kExprCommandIndex = 6;
constexpr int kLastCommandIndex = 25;

// The catalogue: the first kLastCommandIndex + 1 rows.
std::span<const CommandEntry> commandCatalogue();
// Every row: the catalogue and the commands the editor does not offer.
std::span<const CommandEntry> commandTable();
// Index of the catalogue entry whose name equals word (any case), or -1.
int findCommand(TextView word);
// The handler of a command name (any case), catalogue or not, or null.
CommandHandler findHandler(TextView name);

}  // namespace quadrel
