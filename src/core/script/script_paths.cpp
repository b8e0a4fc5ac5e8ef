#include "core/script/script_paths.h"

#include "core/engine.h"
#include "core/script/command_line.h"
#include "core/script/file_probe.h"
#include "core/text/path_text.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

TextView firstPart(TextView path) {
  const size_t end = path.find_first_of(u"\\/");
  return end == TextView::npos ? path : path.substr(0, end);
}

bool sharesLeadingPart(TextView base, TextView name) {
  const TextView a = firstPart(base), b = firstPart(name);
  return !a.empty() && equalsIgnoreCase(a, b);
}

}  // namespace

Text makeFullPath(Engine& e, TextView baseFolder, TextView name, int /*mode*/) {
  if (name.empty())
    return Text();
  const char16_t sep = e.platform.pathSeparator();
  if (isAbsolutePath(name) || sharesLeadingPart(baseFolder, name))
    return normalizePath(name, sep);
  return normalizePath(joinPath(baseFolder, name, sep), sep);
}

Text defaultDataFolder(Engine& e) {
  Text folder(folderPart(e.platform.libraryPath()));
  folder.append(u"Quadrel");
  folder.push_back(e.platform.pathSeparator());
  return folder;
}

Text runLogFileName(Engine& e, TextView named) {
  const Text& data = e.script.settings.dataFolder;
  if (named.empty())
    return joinPath(data, u"otmCmds.log", e.platform.pathSeparator());
  return makeFullPath(e, data, named, 2);
}

bool outputNamesFolder(Engine& e, TextView outputName) {
  if (outputName.empty() || endsWithSeparator(outputName))
    return true;
  return isFolder(makeFullPath(e, e.script.settings.dataFolder, outputName, 1));
}

void defaultOutputName(Engine& e, Text& outputFile, TextView inputFile) {
  if (!inputFile.empty() && outputNamesFolder(e, outputFile))
    outputFile = joinPath(folderPart(inputFile), u"Result.otm", e.platform.pathSeparator());
}

Text savePlotFolder(TextView path) {
  if (path.empty() || path == u"0" || path == u"-1")
    return u"0";
  return Text(folderPart(path));
}

}  // namespace quadrel
