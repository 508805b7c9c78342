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

// `workDir` (default: the test directory) is the program's working
// directory, so relative file names land among the test's own files.
// `addressSpace` limits the program's virtual memory, in bytes (ulimit -v).
inline ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args,
                             const std::string& input = "", const std::string& workDir = "",
                             rlim_t addressSpace = RLIM_INFINITY) {
  static int counter = 0;
  const std::string base = testDir() + "run" + std::to_string(++counter);
  const std::string inPath = base + ".in", outPath = base + ".out", errPath = base + ".err";
  writeTempFile("run" + std::to_string(counter) + ".in", input);
  const std::string dir = workDir.empty() ? testDir() : workDir;

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
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const rlimit limit{addressSpace, addressSpace};
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
        ::dup2(err, 2) < 0 || ::chdir(dir.c_str()) != 0 ||
        (addressSpace != RLIM_INFINITY && ::setrlimit(RLIMIT_AS, &limit) != 0))
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
  run.out = readWholeFile(outPath);
  run.err = readWholeFile(errPath);
  return run;
}

}  // namespace kelvor::testing
