#include "core/script/file_arguments.h"

#include "core/script/command_context.h"
#include "core/script/executor.h"

namespace quadrel {

FileArguments fileArguments(TextView args) {
  const TextView all = trimWhite(args);
  const size_t space = all.find(u' ');
  FileArguments a{stripBrackets(all.substr(0, space)), Text(), Text(kNoOutputNote)};
  if (space != TextView::npos)
    a.output = stripBrackets(trimWhite(all.substr(space + 1)));
  if (!a.output.empty())
    a.note = u"=>(" + Text(all) + u")";
  return a;
}

}  // namespace quadrel
