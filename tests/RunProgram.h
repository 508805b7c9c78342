// Runs a built program as a user would: arguments, standard input from a
// text, and its standard output, standard error and exit status captured.
// The programs' end-to-end tests use this.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TempFile.h"

namespace kelvor::testing {

struct ProgramRun {
  std::string out;
  std::string err;
  int status = -1;  // the exit status; 128 + n after signal n
};

inline std::string readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// How a program runs, beyond its arguments.
struct RunSettings {
  std::string input = {};               // standard input
  std::string workDir = {};             // the working directory (default: the test directory),
                                        // so relative file names land among the test's own files
  rlim_t addressSpace = RLIM_INFINITY;  // virtual memory, in bytes (ulimit -v)
  rlim_t fileSize = RLIM_INFINITY;      // the largest file it may write, in bytes (ulimit -f)
  // Standard output goes to this file instead of being captured (out stays
  // empty), or, when it is -1 and stdoutPath is empty, to this descriptor
  // (the write end of a pipe, made with O_CLOEXEC so the program holds no
  // other end).
  std::string stdoutPath = {};
  int stdoutFd = -1;
};

inline ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args,
                             const RunSettings& settings) {
  static int counter = 0;
  const std::string base = testDir() + "run" + std::to_string(++counter);
  const std::string inPath = base + ".in", errPath = base + ".err";
  const bool captured = settings.stdoutPath.empty() && settings.stdoutFd < 0;
  const std::string outPath = captured ? base + ".out" : settings.stdoutPath;
  writeTempFile("run" + std::to_string(counter) + ".in", settings.input);
  const std::string dir = settings.workDir.empty() ? testDir() : settings.workDir;

  std::vector<std::string> argvStore;
  argvStore.push_back(program);
  argvStore.insert(argvStore.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argvStore) argv.push_back(a.data());
  argv.push_back(nullptr);

  ProgramRun run;
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int in = ::open(inPath.c_str(), O_RDONLY);
    const int out = outPath.empty() ? settings.stdoutFd
                                    : ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const rlimit memory{settings.addressSpace, settings.addressSpace};
    const rlimit fileSize{settings.fileSize, settings.fileSize};
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
        ::dup2(err, 2) < 0 || ::chdir(dir.c_str()) != 0 ||
        (settings.addressSpace != RLIM_INFINITY && ::setrlimit(RLIMIT_AS, &memory) != 0) ||
        (settings.fileSize != RLIM_INFINITY && ::setrlimit(RLIMIT_FSIZE, &fileSize) != 0))
      ::_exit(126);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  if (pid < 0) {
    ADD_FAILURE() << "cannot start " << program;
    return run;
  }
  int wstatus = 0;
  ::waitpid(pid, &wstatus, 0);
  run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  if (captured) run.out = readWholeFile(outPath);
  run.err = readWholeFile(errPath);
  return run;
}

inline ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args,
                             const std::string& input = "", const std::string& workDir = "",
                             rlim_t addressSpace = RLIM_INFINITY) {
  return runProgram(program, args,
                    RunSettings{.input = input, .workDir = workDir, .addressSpace = addressSpace});
}

}  // namespace kelvor::testing
