/* Golden scripts through the library's script entry.
 *
 * Each tests/scripts/NAME.otm of the list below runs through otmEvalMain
 * ("/i FILE /noh" and the options its "' golden: ..." line asks for), and
 * the text GetEvalResult gives must be NAME.expected, as the unit test
 * golden_scripts_test.cpp checks it against the core. Line ends are compared
 * after "\r\n" becomes "\n"; line ends at the very end do not count.
 *
 *   golden_dll LIBRARY SCRIPTS_FOLDER [NAME...]
 *
 * Every script runs in a process of its own (this program started again
 * with "--one"): the library keeps its run settings between calls, and some
 * (no labels, /nt) have no option that turns them off again; a fresh
 * process gives each script a fresh library, like the unit test's fresh
 * engine.
 *
 * The golden settings and their options: results-only /nl, no-labels /nt,
 * decimals=N /dec:N (else /dec:4), lines=A;B /ln:A;B, offset=N /lc:N.
 * code=N (commands x 1000 + errors) is checked in a second run without
 * /noh, whose header counts them; with a line filter there is no header.
 */
#if !defined(_WIN32)
#define _POSIX_C_SOURCE 200809L /* mkdtemp */
#endif
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "abi_files.h"
#include "abi_library.h"
#include "quadrel.h"

#if defined(_WIN32)
#include <windows.h>
#define SEP "\\"
#else
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>
#define SEP "/"
#endif

/* Scripts that read no files, write no time and show no box: their results
 * are the same on every machine and at every hour. (The differentiation
 * script's failures show boxes, which nobody answers under wine.) */
static const char* const kScripts[] = {"decimals",     "echo_and_comments", "errors",    "expressions", "hex_bin",
                                       "line_filter",  "matrices",          "no_labels", "numeric",     "plots",
                                       "results_only", "store_and_show",    "matrix_failures"};

typedef int32_t(QD_CALL* pf_otmEvalMain)(const qd_char*);
typedef int32_t(QD_CALL* pf_GetEvalResult)(qd_char*, int32_t);
_Static_assert(_Generic(&otmEvalMain, pf_otmEvalMain : 1, default : 0), "otmEvalMain differs from quadrel.h");
_Static_assert(_Generic(&GetEvalResult, pf_GetEvalResult : 1, default : 0), "GetEvalResult differs from quadrel.h");

static pf_otmEvalMain p_otmEvalMain;
static pf_GetEvalResult p_GetEvalResult;

/* ---- loading ---------------------------------------------------------------- */

/* ---- files -------------------------------------------------------------------- */

#if defined(_WIN32)
static int make_temp_folder(char* out, size_t size) {
  char base[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, base);
  if (n == 0 || n >= MAX_PATH)
    return 0;
  snprintf(out, size, "%squadrel_golden_%lu", base, (unsigned long)GetCurrentProcessId());
  return CreateDirectoryA(out, NULL) || GetLastError() == ERROR_ALREADY_EXISTS;
}
static void remove_folder(const char* path) { RemoveDirectoryA(path); }
#else
static int make_temp_folder(char* out, size_t size) {
  if (snprintf(out, size, "/tmp/quadrel_golden_XXXXXX") >= (int)size)
    return 0;
  return mkdtemp(out) != NULL;
}
static void remove_folder(const char* path) { rmdir(path); }
#endif

/* ---- texts -------------------------------------------------------------------- */

/* UTF-8 (here: the ASCII of a command line) as UTF-16; malloc'ed. */
static qd_char* to_utf16(const char* s) {
  size_t n = strlen(s);
  qd_char* t = malloc((n + 1) * sizeof(qd_char));
  if (!t)
    return NULL;
  for (size_t i = 0; i <= n; ++i) t[i] = (qd_char)(unsigned char)s[i];
  return t;
}

/* UTF-16 as UTF-8; malloc'ed. */
static char* to_utf8(const qd_char* t, size_t n) {
  char* s = malloc(n * 3 + 1);
  size_t k = 0;
  if (!s)
    return NULL;
  for (size_t i = 0; i < n; ++i) {
    unsigned long c = (unsigned long)t[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && t[i + 1] >= 0xDC00 && t[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + ((unsigned long)t[++i] - 0xDC00);
      s[k++] = (char)(0xF0 | (c >> 18));
      s[k++] = (char)(0x80 | ((c >> 12) & 0x3F));
      s[k++] = (char)(0x80 | ((c >> 6) & 0x3F));
      s[k++] = (char)(0x80 | (c & 0x3F));
    } else if (c < 0x80) {
      s[k++] = (char)c;
    } else if (c < 0x800) {
      s[k++] = (char)(0xC0 | (c >> 6));
      s[k++] = (char)(0x80 | (c & 0x3F));
    } else {
      s[k++] = (char)(0xE0 | (c >> 12));
      s[k++] = (char)(0x80 | ((c >> 6) & 0x3F));
      s[k++] = (char)(0x80 | (c & 0x3F));
    }
  }
  s[k] = 0;
  return s;
}

/* "\r\n" becomes "\n"; line ends at the end go. In place. */
static void normalise(char* s) {
  size_t k = 0;
  for (size_t i = 0; s[i]; ++i)
    if (!(s[i] == '\r' && s[i + 1] == '\n'))
      s[k++] = s[i];
  while (k > 0 && (s[k - 1] == '\n' || s[k - 1] == '\r')) --k;
  s[k] = 0;
}

/* A path as the command line of the script entry takes it: every "/" there
 * starts an option, so a native path is given with "\" (a separator too). */
static void command_path(char* path) {
  for (; *path; ++path)
    if (*path == '/')
      *path = '\\';
}

/* Prints the first line where got and want differ. */
static void show_difference(const char* got, const char* want) {
  int line = 1;
  const char *g = got, *w = want;
  while (*g && *g == *w) {
    if (*g == '\n') {
      ++line;
      got = g + 1;
      want = w + 1;
    }
    ++g, ++w;
  }
  printf("  first difference in line %d:\n  got:      \"%.*s\"\n  expected: \"%.*s\"\n", line, (int)strcspn(got, "\n"),
         got, (int)strcspn(want, "\n"), want);
}

/* ---- one script ---------------------------------------------------------------- */

struct golden_settings {
  char options[200]; /* the command-line options besides /i and /noh */
  int code;          /* -1: not checked */
  int filtered;      /* a line filter: no header to count in */
};

static int read_settings(const char* script, struct golden_settings* g) {
  int decimals = 4;
  g->options[0] = 0;
  g->code = -1;
  g->filtered = 0;
  for (const char* line = script; line && *line; line = strchr(line, '\n') ? strchr(line, '\n') + 1 : NULL) {
    if (strncmp(line, "' golden:", 9) != 0)
      continue;
    const char* p = line + 9;
    for (;;) {
      while (*p == ' ' || *p == '\t') ++p;
      if (!*p || *p == '\r' || *p == '\n')
        break;
      char word[100];
      size_t n = strcspn(p, " \t\r\n");
      if (n >= sizeof word)
        n = sizeof word - 1;
      memcpy(word, p, n);
      word[n] = 0;
      p += strcspn(p, " \t\r\n");
      char* value = strchr(word, '=');
      if (value)
        *value++ = 0;
      char piece[120];
      if (strcmp(word, "results-only") == 0) {
        snprintf(piece, sizeof piece, " /nl");
      } else if (strcmp(word, "no-labels") == 0) {
        snprintf(piece, sizeof piece, " /nt");
      } else if (strcmp(word, "decimals") == 0 && value) {
        decimals = atoi(value);
        piece[0] = 0;
      } else if (strcmp(word, "lines") == 0 && value) {
        snprintf(piece, sizeof piece, " /ln:%s", value);
        g->filtered = 1;
      } else if (strcmp(word, "offset") == 0 && value) {
        snprintf(piece, sizeof piece, " /lc:%s", value);
      } else if (strcmp(word, "code") == 0 && value) {
        g->code = atoi(value);
        piece[0] = 0;
      } else {
        printf("  unknown golden setting %s\n", word);
        return 0;
      }
      strncat(g->options, piece, sizeof g->options - strlen(g->options) - 1);
    }
  }
  char piece[40];
  snprintf(piece, sizeof piece, " /dec:%d", decimals);
  strncat(g->options, piece, sizeof g->options - strlen(g->options) - 1);
  return 1;
}

/* Runs a command line; the result text as UTF-8 (malloc'ed), NULL when the
 * status is not -1. */
static char* run(const char* command_line) {
  qd_char* line = to_utf16(command_line);
  if (!line)
    return NULL;
  int32_t status = p_otmEvalMain(line);
  free(line);
  if (status != -1) {
    printf("  otmEvalMain(\"%s\") = %d, expected -1\n", command_line, (int)status);
    return NULL;
  }
  int32_t length = p_GetEvalResult(NULL, 0);
  qd_char* text = malloc(((size_t)(length > 0 ? length : 0) + 1) * sizeof(qd_char));
  if (!text)
    return NULL;
  for (int32_t i = 0; i < length; ++i) text[i] = ' ';
  text[length > 0 ? length : 0] = 0;
  int32_t copied = length > 0 ? p_GetEvalResult(text, 1) : 0;
  char* result = copied == length ? to_utf8(text, (size_t)copied) : NULL;
  if (copied != length)
    printf("  GetEvalResult copied %d of %d characters\n", (int)copied, (int)length);
  free(text);
  return result;
}

static int run_one(const char* library_path, const char* folder, const char* name) {
  char path[1024], temp[600], input[700], output[700], line[1200];
  snprintf(path, sizeof path, "%s" SEP "%s.otm", folder, name);
  char* script = read_file(path);
  snprintf(path, sizeof path, "%s" SEP "%s.expected", folder, name);
  char* expected = read_file(path);
  struct golden_settings g;
  int ok = 0;
  if (!script || !expected) {
    printf("  cannot read %s" SEP "%s.otm or .expected\n", folder, name);
  } else if (read_settings(script, &g) && open_library(library_path) &&
             (p_otmEvalMain = (pf_otmEvalMain)symbol("otmEvalMain")) != NULL &&
             (p_GetEvalResult = (pf_GetEvalResult)symbol("GetEvalResult")) != NULL &&
             make_temp_folder(temp, sizeof temp)) {
    snprintf(input, sizeof input, "%s" SEP "%s.otm", temp, name);
    snprintf(output, sizeof output, "%s" SEP "Result.otm", temp);
    /* A run with a line filter appends to the result file: it must be there. */
    ok = write_file(input, script) && write_file(output, "");
    if (!ok)
      printf("  cannot write into %s\n", temp);
    char arg[700];
    snprintf(arg, sizeof arg, "%s", input);
    command_path(arg);

    snprintf(line, sizeof line, "/noh%s /i %s", g.options, arg);
    char* result = ok ? run(line) : NULL;
    ok = result != NULL;
    if (result) {
      normalise(result);
      normalise(expected);
      if (strcmp(result, expected) != 0) {
        ok = 0;
        printf("  otmEvalMain(\"%s\"): the result differs from %s.expected\n", line, name);
        show_difference(result, expected);
      }
    }
    free(result);

    if (ok && g.code != -1 && !g.filtered) {
      /* The header of a run counts the commands and the errors. */
      snprintf(line, sizeof line, "/rs%s /i %s", g.options, arg);
      result = run(line);
      char count[100];
      snprintf(count, sizeof count, "\r\n'Executed Commands: %d, Errors found: %d\r\n", g.code / 1000, g.code % 1000);
      if (!result || !strstr(result, count)) {
        ok = 0;
        printf("  otmEvalMain(\"%s\"): no line \"%.*s\" in its header\n", line, (int)strlen(count) - 4, count + 2);
      }
      free(result);
    }
    remove(output);
    remove(input);
    remove_folder(temp);
  } else if (!p_otmEvalMain || !p_GetEvalResult) {
    printf("  the library has no otmEvalMain or GetEvalResult\n");
  }
  free(script);
  free(expected);
  return ok ? 0 : 1;
}

/* ---- each script in a process of its own --------------------------------------------- */

static int run_in_child(const char* library_path, const char* folder, const char* name) {
  fflush(stdout);
#if defined(_WIN32)
  char program[MAX_PATH], command[3000];
  if (!GetModuleFileNameA(NULL, program, MAX_PATH))
    return 1;
  snprintf(command, sizeof command, "\"%s\" --one \"%s\" \"%s\" \"%s\"", program, library_path, folder, name);
  STARTUPINFOA startup;
  PROCESS_INFORMATION process;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  if (!CreateProcessA(program, command, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process)) {
    printf("  CreateProcess failed: error %lu\n", (unsigned long)GetLastError());
    return 1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code == 0 ? 0 : 1;
#else
  pid_t child = fork();
  if (child < 0)
    return 1;
  if (child == 0) {
    int rc = run_one(library_path, folder, name);
    fflush(stdout);
    _exit(rc);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child)
    return 1;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
#endif
}

int main(int argc, char** argv) {
  setvbuf(stdout, NULL, _IONBF, 0);
  if (argc == 5 && strcmp(argv[1], "--one") == 0)
    return run_one(argv[2], argv[3], argv[4]);
  if (argc < 3) {
    printf("usage: golden_dll LIBRARY SCRIPTS_FOLDER [NAME...]\n");
    return 2;
  }
  /* No separator at the end: a "\" before a closing quote would escape it. */
  char folder[1024];
  snprintf(folder, sizeof folder, "%s", argv[2]);
  for (size_t n = strlen(folder); n > 1 && (folder[n - 1] == '/' || folder[n - 1] == '\\'); --n) folder[n - 1] = 0;

  int passed = 0, failed = 0;
  const int count = argc > 3 ? argc - 3 : (int)(sizeof kScripts / sizeof kScripts[0]);
  for (int i = 0; i < count; ++i) {
    const char* name = argc > 3 ? argv[3 + i] : kScripts[i];
    if (run_in_child(argv[1], folder, name) == 0) {
      ++passed;
      printf("ok   %s\n", name);
    } else {
      ++failed;
      printf("FAIL %s\n", name);
    }
  }
  printf("golden scripts through the library: %d passed, %d failed\n", passed, failed);
  return failed || passed == 0 ? 1 : 0;
}
