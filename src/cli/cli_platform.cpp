#include "cli/cli_platform.h"

#include <unistd.h>

#include <climits>

#include "platform/headless/cairo_plot_window.h"
#include "platform/headless/linux_names.h"
#include "platform/headless/posix_services.h"

namespace quadrel {

namespace {

std::string executablePath() {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, size_t(n)) : std::string("quadrel");
}

void write(std::FILE* f, const std::string& s) { std::fwrite(s.data(), 1, s.size(), f); }

bool exists(const std::string& name) { return access(name.c_str(), F_OK) == 0; }

// The file whose folder holds the command list (ShowCmds.otm): the program
// itself in a build folder; installed, the list lives in ../share/quadrel,
// and that file stands for the program there.
Text libraryFileOf(const std::string& program) {
  const std::string folder = program.substr(0, program.rfind('/') + 1);
  const std::string installed = folder + "../share/quadrel/ShowCmds.otm";
  if (!exists(folder + "ShowCmds.otm") && exists(installed))
    return fromUtf8(installed);
  return fromUtf8(program);
}

}  // namespace

TextView withoutLineNumber(TextView line) {
  size_t k = 0;
  while (k < line.size() && isDigit(line[k])) ++k;
  if (k > 0 && line.substr(k, 2) == u": ")
    return line.substr(k + 2);
  return line;
}

std::string terminalText(TextView text) {
  // The line ends change in the UTF-8 text itself, where no byte of a
  // longer character can be a CR or LF: no copy of a long result is made.
  std::string s = toUtf8(text);
  size_t out = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\r') {
      s[out++] = s[i];
      continue;
    }
    s[out++] = '\n';
    if (i + 1 < s.size() && s[i + 1] == '\n')
      ++i;
  }
  s.resize(out);
  return s;
}

CliPlatform::CliPlatform(std::FILE* out, std::FILE* err)
    : out_(out), err_(err), libraryFile_(libraryFileOf(executablePath())) {}

int CliPlatform::messageBox(TextView caption, TextView text, BoxButtons buttons, BoxIcon) {
  progressClose();
  Text line(caption);
  line.append(u": ");
  line.append(text);
  line.push_back(u'\n');
  write(err_, terminalText(line));
  // Nobody is there to answer: confirm a notice, decline a question.
  switch (buttons) {
    case BoxButtons::Ok: return kAnswerOk;
    case BoxButtons::OkCancel: return kAnswerCancel;
    default: return kAnswerNo;
  }
}

bool CliPlatform::inputBox(TextView caption, TextView prompt, TextView defaultText, Text& answer) {
  Text line(caption);
  line.append(u": ");
  line.append(prompt);
  line.append(u" [");
  line.append(defaultText);
  line.append(u"]\n");
  write(err_, terminalText(line));
  answer = Text(defaultText);
  return true;
}

LocalTime CliPlatform::localTime() { return posix::localTimeNow(); }

uint64_t CliPlatform::tickMs() { return posix::steadyTickMs(); }

Text CliPlatform::tempFolder() { return posix::temporaryFolder(); }
Text CliPlatform::userDataFolder() { return posix::userDataFolder(); }

bool CliPlatform::fileVersion(TextView path, uint16_t fileVersion[4], uint16_t productVersion[4]) {
  // Only the program answers, for itself.
  if (!path.empty() && path != TextView(libraryFile_))
    return false;
  posix::builtVersion(fileVersion, productVersion);
  return true;
}

bool CliPlatform::fileModifiedTime(TextView path, LocalTime& time) { return posix::fileModifiedTime(path, time); }

Text CliPlatform::ansiToText(std::string_view bytes) { return posix::cp1252ToText(bytes); }

std::string CliPlatform::textToAnsi(TextView text) { return posix::textToCp1252(text); }

void CliPlatform::messagesWindowAdd(TextView line) {
  Text text(withoutLineNumber(line));
  text.push_back(u'\n');
  write(out_, terminalText(text));
}

void CliPlatform::progressShow(TextView text) {
  if (!showProgress)
    return;
  const uint64_t now = tickMs();
  if (!progressStarted_) {
    progressStarted_ = true;
    progressStart_ = now;
  }
  if (now - progressStart_ < progressDelayMs)
    return;
  write(err_, "\r" + toUtf8(text.substr(0, 78)) + "\033[K");
  std::fflush(err_);
  progressDrawn_ = true;
}

void CliPlatform::progressClose() {
  if (progressDrawn_) {
    write(err_, "\r\033[K");
    std::fflush(err_);
  }
  progressDrawn_ = false;
  progressStarted_ = false;
}

std::unique_ptr<PlotWindow> CliPlatform::openPlotWindow(int, TextView, PlotWindow*) {
  return std::make_unique<CairoPlotWindow>();
}

ProductNames CliPlatform::productNames() const { return linuxProgramNames(); }

}  // namespace quadrel
