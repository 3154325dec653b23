// Runs the program as a separate process, with a pipe to its standard input
// and its standard output and error collected, for the tests that need two
// real copies or the real exit code.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

class ChildProcess {
 public:
  // `environment` entries ("NAME=value") come first, so they win over the
  // test's own. `binary` defaults to the program the build made.
  ChildProcess(std::vector<std::string> arguments, std::vector<std::string> environment,
               const std::string& binary = QUILLMOTH_BINARY) {
    // Everything the child needs is built before the fork.
    for (char** entry = environ; *entry != nullptr; ++entry) environment.emplace_back(*entry);
    std::vector<char*> argv{const_cast<char*>(binary.c_str())}, envp;
    for (std::string& word : arguments) argv.push_back(word.data());
    for (std::string& entry : environment) envp.push_back(entry.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    // Output and errors go to files in memory, which never fill up and are
    // read from the start whenever asked. Every descriptor closes on exec but
    // the child's three, so no copy holds another's input open.
    int input[2];
    if (pipe2(input, O_CLOEXEC) != 0) return;
    Input = input[1];
    Output = memfd_create("out", MFD_CLOEXEC);
    Errors = memfd_create("err", MFD_CLOEXEC);
    Pid = fork();
    if (Pid == 0) {
      dup2(input[0], 0);
      dup2(Output, 1);
      dup2(Errors, 2);
      execve(binary.c_str(), argv.data(), envp.data());
      _exit(127);
    }
    close(input[0]);
  }
  ~ChildProcess() {
    Kill();
    for (int fd : {Input, Output, Errors}) close(fd);
  }

  void Send(const std::string& text) {
    ASSERT_EQ(write(Input, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  // Reads standard output until a line equal to `line` has come.
  bool WaitForLine(const std::string& line, int milliseconds) {
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    while ((Out = Read(Output)).find(line + "\n") == std::string::npos) {
      if (Clock::now() > end) return false;
      usleep(5'000);
    }
    return true;
  }
  // Closes standard input (the end of a piped script) and returns the exit
  // code; -1 when it has not ended in time (it is then killed) or a signal
  // ended it.
  int Wait(int milliseconds) {
    close(Input);
    Input = -1;
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    int status = 0;
    pid_t ended = 0;
    rusage usage{};
    while (Pid > 0 && (ended = wait4(Pid, &status, WNOHANG, &usage)) == 0 && Clock::now() < end) {
      usleep(2'000);
    }
    if (ended == Pid) {
      Pid = -1;  // gone: nothing to kill
      PeakKilobytes = usage.ru_maxrss;
    }
    Kill();
    Out = Read(Output);
    Err = Read(Errors);
    return ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // True while the process has not ended (an ended one is left for Wait).
  bool Running() {
    siginfo_t info{};
    return Pid > 0 &&
           waitid(P_PID, static_cast<id_t>(Pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
  }
  void Signal(int signal) {
    if (Pid > 0) kill(Pid, signal);
  }
  // Stops the process (SIGSTOP) for the time given, then lets it go on.
  void Stop(int milliseconds) {
    if (Pid <= 0) return;
    kill(Pid, SIGSTOP);
    usleep(static_cast<useconds_t>(milliseconds) * 1000);
    kill(Pid, SIGCONT);
  }
  void Kill() {
    if (Pid <= 0) return;
    kill(Pid, SIGKILL);
    waitpid(Pid, nullptr, 0);
    Pid = -1;
  }

  std::string Out, Err;
  long PeakKilobytes = 0;  // the most memory the process held, once it has ended

 private:
  using Clock = std::chrono::steady_clock;
  // All a file in memory holds.
  static std::string Read(int fd) {
    struct stat info {};
    std::string text(fstat(fd, &info) == 0 ? static_cast<size_t>(info.st_size) : 0, '\0');
    text.resize(static_cast<size_t>(std::max<ssize_t>(pread(fd, text.data(), text.size(), 0), 0)));
    return text;
  }

  pid_t Pid = -1;
  int Input = -1, Output = -1, Errors = -1;
};
