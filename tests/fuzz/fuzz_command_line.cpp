// Arbitrary input as a command line for the script entry, on a fresh engine
// per input whose data folder is a private temporary folder.
//
// The first line of the input is the command line; the rest is the script:
// the content of the file "in.otm" in the data folder and the clipboard's
// text. The input is read byte by byte (each byte one UTF-16 unit), or, when
// the first byte is 0x01, as UTF-16LE units.
//
// Names on the command line can only reach the temporary folder: "\" (which
// would start an absolute path) and ".." become "_", and the process works
// in that folder, so that names with a drive letter land there too. Scripts
// that could write files of their own naming are skipped.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/engine.h"
#include "core/script/command_line.h"
#include "core/text/path_text.h"
#include "core/text/text_files.h"
#include "fuzz_input.h"
#include "platform/headless/headless_platform.h"

using namespace quadrel;

namespace {

namespace fs = std::filesystem;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "fuzz_command_line: %s\n", what);
  std::abort();
}

// Made on first use, removed at exit; kept on the heap so that it outlives
// the static objects the exit handler would otherwise race with.
const fs::path& dataFolder() {
  static const fs::path* folder = [] {
    std::string pattern = (fs::temp_directory_path() / "quadrel-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
      fail("no temporary folder");
    fs::current_path(pattern);
    const fs::path* made = new fs::path(pattern);
    std::atexit([] {
      std::error_code ec;
      fs::current_path(fs::temp_directory_path(), ec);
      fs::remove_all(*folder, ec);
    });
    return made;
  }();
  return *folder;
}

void emptyFolder(const fs::path& folder) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code removeEc;
    fs::remove_all(it->path(), removeEc);
  }
}

Text confined(TextView line) {
  Text t(line);
  for (char16_t& c : t)
    if (c == u'\\')
      c = u'_';
  replaceAll(t, u"..", u"._");
  return t;
}

bool writesFilesOfItsOwn(TextView script) {
  const Text lower = toLower(script);
  for (TextView word : {u"exprf", u"integratef", u"sdifff", u"derivatef", u"fileout", u"plot"})
    if (lower.find(word) != Text::npos)
      return true;
  return false;
}

void checkPaths(TextView text) {
  for (char16_t sep : {u'/', u'\\'}) {
    const Text once = normalizePath(text, sep);
    if (normalizePath(once, sep) != once)
      fail("normalizePath is not idempotent");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 14)
    return 0;
  const Text text = decodeFuzzInput(data, size);
  const size_t newline = text.find(u'\n');
  const TextView line = TextView(text).substr(0, newline);
  const TextView script = newline == Text::npos ? TextView() : TextView(text).substr(newline + 1);
  checkPaths(line);
  if (writesFilesOfItsOwn(script))
    return 0;

  const fs::path& folder = dataFolder();
  emptyFolder(folder);
  HeadlessPlatform platform;
  platform.fixedTime = true;
  platform.clipboard = Text(script);
  Engine e(platform);
  e.matrix.powerWorkLimit = kFuzzPowerWorkLimit;
  RunSettings& s = e.script.settings;
  s.dataFolder = fromUtf8(folder.string() + "/");
  writeUtf8File(s.dataFolder + u"in.otm", script, WriteMode::Replace);

  const Text commandLine = confined(line);
  const int32_t status = otmEvalMain(e, commandLine);
  if (status > -1 || status < -5)
    fail("status outside -1 .. -5");
  if (status == -5 && !e.script.resultText.empty())
    fail("a result without a run");
  if (!s.selectionText.empty() && s.runSelection && !s.readFromFile && !s.fromClipboard && !e.script.resultText.empty())
    fail("the selection ran but was kept");

  // A second call on the same engine: the settings of the first one stay.
  otmEvalMain(e, commandLine);
  return 0;
}
