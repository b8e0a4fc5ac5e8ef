// Arbitrary input as a script for the command executor, on a fresh engine
// per input: every line rule, command syntax and command handler is reached,
// the file commands (ExprF, FunctF, the file form of StoExpr) included, and
// then the file modes of the file entry.
//
// The input is read byte by byte (each byte one UTF-16 unit), or, when the
// first byte is 0x01, as UTF-16LE units. Files live in a private temporary
// folder, the data folder of the runs, emptied after every input. A line that
// names a file command may not name a folder ("/", "\" or ":"), so every file
// name it gives is relative to that folder; inputs with such a line are
// skipped. The file modes use the first line, without those characters, as
// their file name in the same folder. Scripts that name Plot are skipped as
// a whole: its point-file names come from the input and may be absolute;
// fuzz_plot covers the plot parameters.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/engine.h"
#include "core/script/executor.h"
#include "core/script/load_save_modes.h"
#include "core/script/script_file.h"
#include "fuzz_input.h"
#include "platform/headless/headless_platform.h"

using namespace quadrel;

namespace {

constexpr bool isLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }
constexpr bool namesFolder(char16_t c) { return c == u'/' || c == u'\\' || c == u':'; }

// True when a line that names a file command could reach outside the folder.
bool leavesTheFolder(TextView script) {
  size_t start = 0;
  while (start <= script.size()) {
    size_t end = start;
    while (end < script.size() && !isLineEnd(script[end])) ++end;
    const Text line = toLower(script.substr(start, end - start));
    if (line.find(u"plot") != Text::npos)
      return true;
    const bool fileCommand =
        line.find(u"exprf") != Text::npos || line.find(u"functf") != Text::npos || line.find(u"stoexpr") != Text::npos;
    if (fileCommand) {
      for (char16_t c : line)
        if (namesFolder(c))
          return true;
    }
    start = end + 1;
  }
  return false;
}

// The first line without the characters that name folders.
Text fileNameOf(TextView script) {
  Text name;
  for (char16_t c : script) {
    if (isLineEnd(c))
      break;
    if (!namesFolder(c) && c != 0)
      name.push_back(c);
  }
  return name;
}

// The private folder, made at the first input and removed when the process ends.
class WorkFolder {
 public:
  WorkFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quadrel-fuzz-script-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      std::perror("fuzz_script: mkdtemp");
      std::abort();
    }
    path_ = pattern;
  }
  ~WorkFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  void empty() const {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(path_, ec))
      std::filesystem::remove_all(entry.path(), ec);
  }

 private:
  std::filesystem::path path_;
};

const WorkFolder& workFolder() {
  static const WorkFolder folder;
  return folder;
}

void checkCounts(int32_t code) {
  const int32_t commands = code / 1000, errors = code % 1000;
  if (code < 0 || errors > commands) {
    std::fprintf(stderr, "fuzz_script: inconsistent counts %d\n", code);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 16)
    return 0;
  const Text script = decodeFuzzInput(data, size);
  if (leavesTheFolder(script))
    return 0;
  HeadlessPlatform platform;
  Engine engine(platform);
  engine.matrix.powerWorkLimit = kFuzzPowerWorkLimit;
  const Text folder = fromUtf8(workFolder().path().string() + "/");
  engine.script.settings.dataFolder = folder;
  platform.tempDir = folder;
  ExecOptions options;
  const uint8_t flags = size > 0 ? data[size - 1] : 0;
  options.noLabels = flags & 1;
  options.resultsOnly = flags & 2;
  Text result;
  checkCounts(execCommands(engine, script, result, options));
  // A second run on the same engine sees the stores and files the first one left.
  checkCounts(execCommands(engine, script, result, options));

  // The file modes, on a name of the folder taken from the input.
  const Text name = folder + fileNameOf(script);
  RunSettings& s = engine.script.settings;
  s.logFileName = s.inputFile = s.outputFile = name;
  s.append = flags & 4;
  platform.fileDialogAnswers = {name, name};
  engine.script.scriptText = script;
  for (int mode : {7, 6, 1, 8, 4, 2}) {
    const int32_t status = loadSaveFile(engine, mode);
    if (status > -1 || status < kStatusInvalidParameter) {
      std::fprintf(stderr, "fuzz_script: mode %d gave status %d\n", mode, int(status));
      std::abort();
    }
  }
  workFolder().empty();
  return 0;
}
