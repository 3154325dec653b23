// Runs the program as a separate process, with a pipe to its standard input
// and its standard output and error collected, for the tests that need two
// real copies or the real exit code.
#pragma once

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

class ChildProcess {
 public:
  // `environment` entries ("NAME=value") come first, so they win over the
  // test's own.
  // `binary` defaults to the program the build made.
  ChildProcess(std::vector<std::string> arguments, std::vector<std::string> environment,
               const std::string& binary = QUILLMOTH_BINARY) {
    // Everything the child needs is built before the fork.
    for (char** entry = environ; *entry != nullptr; ++entry) environment.emplace_back(*entry);
    std::vector<char*> argv{const_cast<char*>(binary.c_str())}, envp;
    for (std::string& word : arguments) argv.push_back(word.data());
    for (std::string& entry : environment) envp.push_back(entry.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return;
    Pid = fork();
    if (Pid == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      dup2(err[1], 2);
      for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
      execve(binary.c_str(), argv.data(), envp.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    Input = in[1];
    Output = out[0];
    Errors = err[0];
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
    while (Out.find(line + "\n") == std::string::npos) {
      if (Clock::now() > end) return false;
      ReadSome(Output, &Out, 10);
    }
    return true;
  }
  // Closes standard input (the end of a piped script) and returns the exit
  // code; -1 when it has not ended in time (it is then killed) or a signal
  // ended it.
  int Wait(int milliseconds) {
    if (Pid <= 0) return -1;
    close(Input);
    Input = -1;
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    int status = 0;
    while (waitpid(Pid, &status, WNOHANG) != Pid) {
      if (Clock::now() > end) {
        Kill();
        return -1;
      }
      ReadSome(Output, &Out, 2);
      ReadSome(Errors, &Err, 0);
    }
    Pid = -1;
    while (ReadSome(Output, &Out, 0) || ReadSome(Errors, &Err, 0)) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void Kill() {
    if (Pid <= 0) return;
    kill(Pid, SIGKILL);
    waitpid(Pid, nullptr, 0);
    Pid = -1;
  }

  std::string Out, Err;

 private:
  using Clock = std::chrono::steady_clock;
  static bool ReadSome(int fd, std::string* into, int milliseconds) {
    pollfd waiting{fd, POLLIN, 0};
    char buffer[4096];
    if (poll(&waiting, 1, milliseconds) <= 0) return false;
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got > 0) into->append(buffer, static_cast<size_t>(got));
    return got > 0;
  }

  pid_t Pid = -1;
  int Input = -1, Output = -1, Errors = -1;
};
