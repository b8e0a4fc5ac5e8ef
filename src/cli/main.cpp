// The quadrel program: runs calculation scripts from the command line.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli_interactive.h"
#include "cli/cli_interrupt.h"
#include "cli/cli_line_editor.h"
#include "cli/cli_options.h"
#include "cli/cli_platform.h"
#include "cli/cli_run.h"
#include "core/engine.h"

namespace {

// A file of any kind but a folder: pipes such as /dev/stdin and <(...) too.
bool isFile(const std::string& name) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(name, ec);
  return !ec && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

// The program proper; main only turns whatever escapes into a message.
int run(int argc, char** argv) {
  using namespace quadrel;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const CliOptions options = parseCliArguments(args, isFile);

  CliPlatform platform(stdout, stderr);
  platform.showProgress = isatty(fileno(stderr)) != 0;
  Engine engine(platform);
  engine.script.settings.progress = platform.showProgress;

  std::error_code ec;
  std::string folder = std::filesystem::current_path(ec).string();
  if (ec)
    folder = ".";
  if (options.action == CliOptions::Action::Run && options.standardInputImplied && isatty(fileno(stdin))) {
    // A bar drawn on the terminal would overwrite the line being typed.
    platform.showProgress = false;
    engine.script.settings.progress = false;
    catchInterrupts();
    EditedLines lines("quadrel> ");
    return runInteractive(engine, options, folder, lines, stdout, stderr);
  }
  return runCli(engine, options, folder, stdout, stderr);
}

}  // namespace

// Anything that escapes a run (memory exhausted, say) ends the program with a
// message and exit status 1, never with an abort.
int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("quadrel: out of memory; the run was stopped\n", stderr);
  } catch (const std::exception& x) {
    std::fprintf(stderr, "quadrel: the run was stopped: %s\n", x.what());
  } catch (...) {
    std::fputs("quadrel: the run was stopped by an unexpected failure\n", stderr);
  }
  return 1;
}
