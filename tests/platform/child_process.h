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
#include <cstdlib>
#include <string>
#include <vector>

class ChildProcess {
 public:
  // Starts QUILLMOTH_BINARY with the arguments; `environment` entries
  // ("NAME=value") come before, and so win over, the test's own.
  ChildProcess(const std::vector<std::string>& arguments,
               const std::vector<std::string>& environment = {}) {
    // Everything the child needs is built before the fork.
    std::vector<std::string> settings = environment;
    for (char** entry = environ; *entry != nullptr; ++entry) settings.emplace_back(*entry);
    std::vector<char*> envp;
    for (std::string& entry : settings) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> words = arguments;
    std::vector<char*> argv{const_cast<char*>(QUILLMOTH_BINARY)};
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return;
    Pid = fork();
    if (Pid == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      dup2(err[1], 2);
      for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
      execve(QUILLMOTH_BINARY, argv.data(), envp.data());
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
    if (Pid > 0 && !Ended) {
      kill(Pid, SIGKILL);
      Wait(5000);
    }
    for (int fd : {Input, Output, Errors}) {
      if (fd >= 0) close(fd);
    }
  }
  bool Started() const { return Pid > 0; }

  void Send(const std::string& text) {
    ASSERT_EQ(write(Input, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  void CloseInput() {
    close(Input);
    Input = -1;
  }
  // Reads standard output until a line equal to `line` appears; false when
  // it does not within the time.
  bool WaitForLine(const std::string& line, int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
      if (Out.find(line + "\n") != std::string::npos) return true;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0 || !ReadSome(Output, &Out, static_cast<int>(left.count())))
        return false;
    }
  }
  // The exit code; -1 when it has not ended within the time (it is then
  // killed), -2 when a signal ended it.
  int Wait(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    int status = 0;
    for (;;) {
      const pid_t done = waitpid(Pid, &status, WNOHANG);
      if (done == Pid) break;
      if (std::chrono::steady_clock::now() > end) {
        kill(Pid, SIGKILL);
        waitpid(Pid, &status, 0);
        Ended = true;
        return -1;
      }
      usleep(2000);
    }
    Ended = true;
    ReadAll(Output, &Out);
    ReadAll(Errors, &Err);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
  }
  void Kill() {
    kill(Pid, SIGKILL);
    Wait(5000);
  }

  std::string Out, Err;

 private:
  static bool ReadSome(int fd, std::string* into, int milliseconds) {
    pollfd waiting{fd, POLLIN, 0};
    if (poll(&waiting, 1, milliseconds) <= 0) return false;
    char buffer[4096];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got <= 0) return false;
    into->append(buffer, static_cast<size_t>(got));
    return true;
  }
  static void ReadAll(int fd, std::string* into) {
    while (ReadSome(fd, into, 0)) {
    }
  }

  pid_t Pid = -1;
  bool Ended = false;
  int Input = -1, Output = -1, Errors = -1;
};
