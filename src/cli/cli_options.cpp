#include "cli/cli_options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace quadrel {

namespace {

CliOptions usageError(std::string message) {
  CliOptions o;
  o.action = CliOptions::Action::Usage;
  o.error = std::move(message);
  return o;
}

bool readInt(const std::string& s, long lo, long hi, long& out) {
  if (s.empty())
    return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(s.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < lo || v > hi)
    return false;
  out = v;
  return true;
}

// "2,5" or "2;5" as ";2;5;"; empty when a field is no line number.
Text lineListOf(const std::string& s) {
  Text list = u";";
  size_t at = 0;
  while (at <= s.size()) {
    size_t end = s.find_first_of(",;", at);
    if (end == std::string::npos)
      end = s.size();
    long n = 0;
    if (!readInt(s.substr(at, end - at), 1, 2147483647L, n))
      return Text();
    list.append(intText(n));
    list.push_back(u';');
    at = end + 1;
  }
  return list;
}

bool folderExists(const std::string& name) {
  std::error_code ec;
  return std::filesystem::is_directory(name, ec);
}

std::string withBackslashes(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

bool startsWithIgnoreCase(const std::string& s, std::string_view prefix) {
  if (s.size() < prefix.size())
    return false;
  for (size_t k = 0; k < prefix.size(); ++k)
    if (std::tolower(static_cast<unsigned char>(s[k])) != prefix[k])
      return false;
  return true;
}

// The argument after /i, /o or /a: a file name, or the next option. A name
// that starts with "/" is taken for a path when it names a file or when its
// first folder exists ("/home/me/a.otm"); "/log" or "/noh" are options.
bool isPathValue(const std::string& a, bool (*isFile)(const std::string&), bool (*isFolder)(const std::string&)) {
  if (!a.starts_with("/"))
    return a.find('/') != std::string::npos;
  const size_t second = a.find('/', 1);
  return isFile(a) || (second != std::string::npos && second > 1 && isFolder(a.substr(0, second)));
}

// The arguments of a command line for the script entry, joined with blanks;
// file names written so that their "/" do not start options.
Text entryLineOf(const std::vector<std::string>& args, bool (*isFile)(const std::string&),
                 bool (*isFolder)(const std::string&)) {
  Text line;
  bool nameMayFollow = false;
  for (const std::string& arg : args) {
    std::string a = arg;
    if (nameMayFollow && isPathValue(a, isFile, isFolder)) {
      a = withBackslashes(a);
    } else {
      for (std::string_view option : {"/log:", "/spl:"})
        if (startsWithIgnoreCase(a, option))
          a = a.substr(0, option.size()) + withBackslashes(a.substr(option.size()));
    }
    nameMayFollow = a == "/i" || a == "/o" || a == "/a" || a == "/I" || a == "/O" || a == "/A";
    if (!line.empty())
      line.push_back(u' ');
    line.append(fromUtf8(a));
  }
  return line;
}

// The first argument of a "/" command line whose key the script entry does
// not know ("" when all are known). Keys are the first two letters after the
// "/", as the entry reads them; the text of a /sel option (which may hold
// "/") and file names after /i, /o and /a are not options.
std::string unknownEntryOption(const std::vector<std::string>& args, bool (*isFile)(const std::string&),
                               bool (*isFolder)(const std::string&)) {
  static constexpr std::string_view kKeys[] = {"i ", "o ", "a ", "sc", "se", "de", "ln", "lc", "sp",
                                               "lo", "rs", "re", "no", "nl", "nt", "pb", "h ", "sm",
                                               "lg", "sf", "cm", "w ", "ab", "gc", "rr", "qu"};
  bool nameMayFollow = false;
  for (const std::string& a : args) {
    const bool isName = nameMayFollow && isPathValue(a, isFile, isFolder);
    nameMayFollow = false;
    if (isName || !a.starts_with("/"))
      continue;
    std::string key = a.substr(1, 2);
    for (char& ch : key) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    if (key.size() < 2 || !std::isalpha(static_cast<unsigned char>(key[1])))
      key = key.substr(0, 1) + " ";
    if (key == "se")
      return "";  // the selection's text follows
    if (std::find(std::begin(kKeys), std::end(kKeys), key) == std::end(kKeys))
      return a;
    nameMayFollow = key == "i " || key == "o " || key == "a ";
  }
  return "";
}

}  // namespace

CliOptions parseCliArguments(const std::vector<std::string>& args, bool (*isFile)(const std::string&),
                             bool (*isFolder)(const std::string&)) {
  CliOptions o;
  if (!args.empty() && args[0].starts_with("/") && !isFile(args[0])) {
    if (std::string unknown = unknownEntryOption(args, isFile, isFolder ? isFolder : folderExists); !unknown.empty())
      return usageError("unknown option '" + unknown + "'");
    o.action = CliOptions::Action::EntryLine;
    o.entryLine = entryLineOf(args, isFile, isFolder ? isFolder : folderExists);
    return o;
  }

  bool onlyFiles = false;
  for (size_t k = 0; k < args.size(); ++k) {
    const std::string& a = args[k];
    // The value of an option that takes one: the next argument.
    auto value = [&](std::string& out) {
      if (k + 1 >= args.size())
        return false;
      out = args[++k];
      return true;
    };
    std::string v;
    if (onlyFiles || a == "-" || !a.starts_with("-")) {
      if (!o.scriptFile.empty())
        return usageError("more than one script file: " + a);
      o.scriptFile = a;
    } else if (a == "--") {
      onlyFiles = true;
    } else if (a == "--help" || a == "-h") {
      o.action = CliOptions::Action::Help;
      return o;
    } else if (a == "--version") {
      o.action = CliOptions::Action::Version;
      return o;
    } else if (a == "-e") {
      if (!value(v))
        return usageError("-e needs a script text");
      o.expressions.push_back(v);
    } else if (a == "-o" || a == "-a") {
      if (!value(v) || v.empty())
        return usageError(a + " needs a file name");
      o.outputFile = v;
      o.append = a == "-a";
    } else if (a == "--lines") {
      if (!value(v))
        return usageError("--lines needs line numbers, as in --lines 2,5");
      Text list = lineListOf(v);
      if (list.empty())
        return usageError("--lines: not a list of line numbers: " + v);
      o.lineList = list;
    } else if (a == "--decimals") {
      long n = 0;
      if (!value(v) || !readInt(v, 0, 512, n))
        return usageError("--decimals needs a number from 0 to 512");
      o.decimals = int(n);
    } else if (a == "--report") {
      o.report = true;
    } else if (a == "--no-header") {
      o.noHeader = true;
    } else if (a == "--no-labels") {
      o.noLabels = true;
    } else if (a == "--results-only") {
      o.resultsOnly = true;
    } else if (a == "--plots") {
      if (!value(v) || v.empty())
        return usageError("--plots needs a folder");
      o.plotsFolder = v;
    } else if (a == "--log") {
      o.log = true;
    } else if (a.starts_with("--log=")) {
      o.log = true;
      o.logFile = a.substr(6);
    } else {
      return usageError("unknown option '" + a + "'");
    }
  }
  if (o.scriptFile.empty() && o.expressions.empty())
    o.standardInputImplied = true;
  if (!o.scriptFile.empty() && !o.expressions.empty())
    return usageError("give either a script file or -e, not both");
  return o;
}

const char* cliUsage() {
  return "Usage: quadrel [options] FILE.otm        (FILE - reads the script from standard input)\n"
         "       quadrel [options] -e TEXT [-e TEXT ...]\n"
         "       quadrel [options]                 (lines typed on a terminal, or lines from a pipe)\n"
         "       quadrel /option [/option ...]     (the script entry's own options; /h lists them)\n"
         "\n"
         "-e lines, typed lines and lines from a pipe print their values alone (errors\n"
         "on standard error); a line that is not a command is a formula, as in -e '2+3'.\n"
         "A script file prints its whole result block. On a terminal without a script,\n"
         "each line runs as it is typed (line editing, history, ans, help; Ctrl+C stops\n"
         "a line) until end of input or quit.\n"
         "\n"
         "Options:\n"
         "  -e TEXT          run TEXT as a line (repeat for more lines)\n"
         "  -o FILE          also write the results to FILE (no file is written without it)\n"
         "  -a FILE          append the results to FILE, without the header\n"
         "  --report         print the result block of -e and typed lines, not values alone\n"
         "  --lines LIST     run only these lines of the script, as in --lines 2,5\n"
         "                   (with -o the results are appended, without the header)\n"
         "  --decimals N     write numbers with N decimals (default 4)\n"
         "  --no-header      leave out the header block\n"
         "  --no-labels      leave out the labels of the results\n"
         "  --results-only   leave out the line of each command that succeeded\n"
         "  --log[=FILE]     log the run to FILE (default: otmCmds.log in the current folder)\n"
         "  --plots DIR      save every plot as a picture DIR/aPlotNr_NN.jpg (400 x 365)\n"
         "  --help           show this help\n"
         "  --version        show the version and the build date\n"
         "\n"
         "The current folder is the data folder: relative names are read against it.\n"
         "In a \"/\" command line, file names after /i, /o, /a, /log: and /spl: may be\n"
         "POSIX paths (/home/me/calc.otm).\n"
         "Exit status: 0 when every command succeeded, 3 when some commands failed,\n"
         "1 when the run failed, 2 for wrong arguments.\n";
}

}  // namespace quadrel
