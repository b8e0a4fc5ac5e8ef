// The quadrel program: runs calculation scripts from the command line.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli_options.h"
#include "cli/cli_platform.h"
#include "cli/cli_run.h"
#include "core/engine.h"

namespace {

bool isFile(const std::string& name) {
  std::error_code ec;
  return std::filesystem::is_regular_file(name, ec);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quadrel;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const CliOptions options = parseCliArguments(args, isFile);

  CliPlatform platform(stdout, stderr);
  platform.showProgress = isatty(fileno(stderr)) != 0;
  Engine engine(platform);
  engine.script.settings.progress = platform.showProgress;

  std::error_code ec;
  const std::string folder = std::filesystem::current_path(ec).string();
  return runCli(engine, options, ec ? std::string(".") : folder, stdout, stderr);
}
