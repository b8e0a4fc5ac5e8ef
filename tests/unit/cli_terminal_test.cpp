// The interactive quadrel program on a pseudo-terminal: typed lines, line
// editing, history and the exit code, as a user at a terminal meets them.
#ifdef QUADREL_CLI_PROGRAM

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>

#include "temp_folder.h"

namespace quadrel {
namespace {

using testing_support::TempFolder;

// The program started on a new pseudo-terminal in folder, with HOME there.
class Terminal {
 public:
  explicit Terminal(const std::string& folder) {
    struct winsize size = {24, 100, 0, 0};
    pid_ = forkpty(&fd_, nullptr, nullptr, &size);
    if (pid_ == 0) {
      if (chdir(folder.c_str()) != 0)
        _exit(126);
      setenv("HOME", folder.c_str(), 1);
      setenv("TERM", "xterm", 1);
      execl(QUADREL_CLI_PROGRAM, "quadrel", static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~Terminal() {
    if (pid_ > 0 && status_ < 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (fd_ >= 0)
      close(fd_);
  }
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  bool started() const { return pid_ > 0 && fd_ >= 0; }
  // Types keys once the line editor has the terminal in raw mode: keys that
  // arrive while it is still in line mode are taken by the terminal driver
  // (echoed, or an end of file that is then lost), not by the editor.
  void type(const std::string& keys) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    termios mode{};
    while (tcgetattr(fd_, &mode) == 0 && (mode.c_lflag & ICANON) && std::chrono::steady_clock::now() < end)
      usleep(2000);
    send(keys);
  }
  // Keys sent at once, as they are pressed while a line runs (Ctrl+C then
  // reaches the program through the terminal driver).
  void send(const std::string& keys) { ASSERT_EQ(write(fd_, keys.data(), keys.size()), ssize_t(keys.size())); }

  // Reads until text has appeared after the point of the last wait (10 s at most).
  bool waitFor(const std::string& text) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (screen_.find(text, seen_) == std::string::npos) {
      if (std::chrono::steady_clock::now() > end || !readSome())
        return false;
    }
    seen_ = screen_.find(text, seen_) + text.size();
    return true;
  }

  // Reads to the end of output and gives the exit code; -1 when the program
  // has not ended 10 s after its output did (the destructor then kills it).
  int exitCode() {
    while (readSome()) {
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int status = 0;
    for (;;) {
      const pid_t done = waitpid(pid_, &status, WNOHANG);
      if (done == pid_)
        break;
      if (done < 0 || std::chrono::steady_clock::now() > end)
        return -1;
      usleep(10000);
    }
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    return status_;
  }

  const std::string& screen() const { return screen_; }

 private:
  bool readSome() {
    pollfd p = {fd_, POLLIN, 0};
    if (poll(&p, 1, 10000) <= 0)
      return false;
    char buffer[4096];
    const ssize_t n = read(fd_, buffer, sizeof buffer);
    if (n <= 0)
      return false;
    screen_.append(buffer, size_t(n));
    return true;
  }

  pid_t pid_ = -1;
  int fd_ = -1;
  int status_ = -1;
  std::string screen_;
  size_t seen_ = 0;
};

TEST(CliTerminalTest, LinesRunAsTypedWithEditingAndHistory) {
  TempFolder folder;
  std::string home = toUtf8(folder.text());
  Terminal t(home);
  ASSERT_TRUE(t.started());
  ASSERT_TRUE(t.waitFor("quadrel> ")) << t.screen();
  t.type("Var = r ; 2\r");
  ASSERT_TRUE(t.waitFor("quadrel> ")) << t.screen();
  // A bare formula, corrected with backspace before it is entered.
  t.type(
      "r*5\x7f"
      "4\r");
  ASSERT_TRUE(t.waitFor("\n8.0000\r\n")) << t.screen();
  ASSERT_TRUE(t.waitFor("quadrel> ")) << t.screen();
  // Ctrl+P brings back the previous line; Ctrl+A goes to its start.
  t.type("\x10\x01(\x05)+1\r");
  ASSERT_TRUE(t.waitFor("\n9.0000\r\n")) << t.screen();
  t.type("quit\r");
  EXPECT_EQ(t.exitCode(), 0) << t.screen();
  EXPECT_NE(folder.get(".quadrel_history").find("(r*4)+1"), std::string::npos);
}

TEST(CliTerminalTest, FailedCommandAndEndOfInput) {
  TempFolder folder;
  Terminal t(toUtf8(folder.text()));
  ASSERT_TRUE(t.started());
  ASSERT_TRUE(t.waitFor("quadrel> ")) << t.screen();
  t.type("1/\r");
  ASSERT_TRUE(t.waitFor("ERROR")) << t.screen();
  ASSERT_TRUE(t.waitFor("quadrel> ")) << t.screen();
  t.type("\x04");  // Ctrl+D on an empty line: end of input
  EXPECT_EQ(t.exitCode(), 3) << t.screen();
}

TEST(CliTerminalTest, CtrlCDropsTheLineOrStopsTheRunAndTheSessionGoesOn) {
  TempFolder folder;
  Terminal t(toUtf8(folder.text()));
  ASSERT_TRUE(t.started());
  ASSERT_TRUE(t.waitFor("quadrel> ")) << t.screen();
  t.type("Var = r ; 7\r");
  ASSERT_TRUE(t.waitFor("quadrel> ")) << t.screen();
  // Ctrl+C while typing: the line is dropped (99 would make the next line fail).
  t.type("99");
  t.type("\x03");
  ASSERT_TRUE(t.waitFor("quadrel> ")) << t.screen();
  t.type("r*2\r");
  ASSERT_TRUE(t.waitFor("\n14.0000\r\n")) << t.screen();
  ASSERT_TRUE(t.waitFor("quadrel> ")) << t.screen();
  // Ctrl+C while an integral of 10^8 points runs: it stops, not the program.
  t.type("Integrate(0; 1; 100000000; mid; x) = x^2\r");
  ASSERT_TRUE(t.waitFor("x^2\r\n")) << t.screen();
  usleep(200000);
  t.send("\x03");
  ASSERT_TRUE(t.waitFor("(exit before completion)")) << t.screen();
  ASSERT_TRUE(t.waitFor("quadrel: interrupted")) << t.screen();
  ASSERT_TRUE(t.waitFor("quadrel> ")) << t.screen();
  // The variables are kept; ans is the last number shown.
  t.type("ans+r\r");
  ASSERT_TRUE(t.waitFor("\n21.0000\r\n")) << t.screen();
  ASSERT_TRUE(t.waitFor("quadrel> ")) << t.screen();
  t.type("help\r");
  ASSERT_TRUE(t.waitFor("Integrate(a; b; n; method; variable) = formula")) << t.screen();
  ASSERT_TRUE(t.waitFor("quadrel> ")) << t.screen();
  t.type("quit\r");
  EXPECT_EQ(t.exitCode(), 3) << t.screen();
}

}  // namespace
}  // namespace quadrel

#endif  // QUADREL_CLI_PROGRAM
