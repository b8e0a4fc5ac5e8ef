// Setting commands: Debug, ErrorMsgs, aElemOrderSet, aElemOrderEx, aabout, Pause.
#include "core/diag/debug_log.h"
#include "core/engine.h"
#include "core/ground/error_report.h"
#include "core/matrix/element_order.h"
#include "core/script/command_context.h"
#include "core/script/commands.h"
#include "core/text/number_text.h"

namespace quadrel {

namespace {

int32_t integerArgument(const CommandContext& c) { return int32_t(leadingInteger(trimWhite(c.args))); }

}  // namespace

void commandDebug(CommandContext& c) { c.e.messages.setMode(integerArgument(c)); }

void commandErrorMsgs(CommandContext& c) { setMessagesFlag(c.e, integerArgument(c)); }

void commandElemOrderSet(CommandContext& c) { setElementOrder(c.e.matrix, integerArgument(c)); }

void commandElemOrderEx(CommandContext& c) {
  // A 2 x 2 probe whose second stored value is 2 and third 1: stored by row.
  const double probe[4] = {1.0, 2.0, 1.0, 4.0};
  const Text order = probeElementOrder(c.e.matrix, probe) == 0 ? u"by Row" : u"by Col";
  if (!c.options.resultsOnly)
    c.result.append(u"Ln " + intText(c.lineNumber) + u": aElemOrderEx = " + order + u"\r\n\r\n");
}

void commandAbout(CommandContext& c) {
  const Text about = aboutText(c.e, true);
  size_t start = 0;
  for (;;) {
    const size_t nl = about.find(u'\n', start);
    c.result.push_back(u'\'');
    c.result.append(about, start, nl == Text::npos ? Text::npos : nl - start);
    c.result.push_back(u'\n');
    if (nl == Text::npos)
      break;
    start = nl + 1;
  }
}

void commandPause(CommandContext&) {}

}  // namespace quadrel
