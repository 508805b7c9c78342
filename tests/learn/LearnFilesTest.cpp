// End-to-end tests of how the learner's results reach the disk and the
// terminal: the model file replaced, or written in place, as its target
// asks; outputs that would destroy inputs refused; lost writes reported.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FifoPeer.h"
#include "RunProgram.h"
#include "TempFile.h"

#ifdef KELVORLEARN_PATH

namespace kelvor {
namespace {

using namespace kelvor::testing;
namespace fs = std::filesystem;

// A directory of these tests' own inside the process's test directory,
// the learner's working directory.
const std::string& dir() {
  static const std::string d = [] {
    fs::create_directories(testDir() + "files");
    return testDir() + "files/";
  }();
  return d;
}

std::string path(const std::string& name) { return dir() + name; }

// A name in that directory for the helpers of the test directory.
std::string inDir(const std::string& name) {
  dir();
  return "files/" + name;
}

std::string write(const std::string& name, const std::string& text) {
  return writeTempFile(inDir(name), text);
}

ProgramRun learn(const std::vector<std::string>& args, RunSettings settings = {}) {
  if (settings.workDir.empty()) settings.workDir = dir();
  return runProgram(KELVORLEARN_PATH, args, settings);
}

// Two examples that train to a model of two support vectors.
std::string twoExamples() { return write("files.dat", "+1 1:1\n-1 1:1 2:2\n"); }

// The model the learner writes for twoExamples() into a plain new file.
const std::string& expectedModel() {
  static const std::string text = [] {
    const ProgramRun run = learn({twoExamples(), path("expected.model")});
    EXPECT_EQ(run.status, 0) << run.err;
    return readWholeFile(path("expected.model"));
  }();
  return text;
}

// No temporary file of the learner's is left in the directory.
bool noTemporaryIn(const std::string& directory) {
  for (const auto& entry : fs::directory_iterator(directory))
    if (entry.path().filename().string().rfind(".kelvor-", 0) == 0) return false;
  return true;
}

struct stat statOf(const std::string& file) {
  struct stat st {};
  EXPECT_EQ(::stat(file.c_str(), &st), 0) << file;
  return st;
}

void expectWritten(const ProgramRun& run, const std::string& model) {
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(readWholeFile(model), expectedModel()) << model;
}

// A link stays a link, and the file it reaches is replaced, also when that
// file does not exist yet.
TEST(LearnFiles, SymbolicLinksAreFollowed) {
  const std::string data = twoExamples();
  write("real.model", "old\n");
  ASSERT_EQ(::symlink("real.model", path("link.model").c_str()), 0);
  ASSERT_EQ(::symlink("new.model", path("dangling.model").c_str()), 0);
  expectWritten(learn({data, "link.model"}), path("real.model"));
  EXPECT_EQ(fs::read_symlink(path("link.model")), "real.model");
  expectWritten(learn({data, "dangling.model"}), path("new.model"));
  EXPECT_TRUE(fs::is_symlink(path("dangling.model")));
  EXPECT_TRUE(noTemporaryIn(dir()));
}

// Support vectors are training examples copied verbatim: a private model
// stays private, and keeps its owner and group.
TEST(LearnFiles, ReplacedModelKeepsItsModeAndOwner) {
  const std::string data = twoExamples(), model = path("private.model");
  write("private.model", "old\n");
  ASSERT_EQ(::chmod(model.c_str(), 0600), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(model.c_str(), 4242, 4343), 0);
  }
  expectWritten(learn({data, model}), model);
  const struct stat st = statOf(model);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  if (root) {
    EXPECT_EQ(st.st_uid, 4242u);
    EXPECT_EQ(st.st_gid, 4343u);
  }
}

// The model replaces the file by rename: a hard link to the old file keeps
// the old content. A short temporary name leaves room for a target whose
// own name is as long as a name may be.
TEST(LearnFiles, LongestNameIsReplacedByRename) {
  const std::string data = twoExamples(), name(255, 'm');
  write(name, "old\n");
  ASSERT_EQ(::link(path(name).c_str(), path("old.hard").c_str()), 0);
  expectWritten(learn({data, name}), path(name));
  EXPECT_EQ(readWholeFile(path("old.hard")), "old\n");
  EXPECT_TRUE(noTemporaryIn(dir()));
}

// What exists and is no regular file is opened and written, as a plain
// creation would: a FIFO stays a FIFO, a device a device.
TEST(LearnFiles, FifosAndDevicesAreWrittenInPlace) {
  const std::string data = twoExamples();
  std::string received;
  {
    FifoPeer fifo(inDir("model.fifo"), FifoPeer::Program::Writes,
                  [&](int fd) { received = readAll(fd); });
    const ProgramRun run = learn({data, fifo.path()});
    EXPECT_EQ(run.status, 0) << run.err;
  }
  EXPECT_EQ(received, expectedModel());
  EXPECT_TRUE(fs::is_fifo(path("model.fifo")));

  const ProgramRun full = learn({data, "/dev/full"});
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, "\nFail: Error writing /dev/full: No space left on device\n");
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
  EXPECT_TRUE(noTemporaryIn("/dev"));

  // A device node of the test's own, with the null device's numbers.
  const std::string device = path("null.device");
  const bool made = ::mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
  const int usable = made ? ::open(device.c_str(), O_WRONLY) : -1;
  if (usable < 0) GTEST_SKIP() << "no device node can be made and opened here (needs root)";
  ::close(usable);
  EXPECT_EQ(learn({data, device}).status, 0);
  EXPECT_TRUE(fs::is_character_file(device));
}

// Where no temporary file can be made beside the model, the model is
// truncated and written in place (the hard link sees the new content)
// rather than the run failing after all its training.
TEST(LearnFiles, PathAtItsLengthLimitIsWrittenInPlace) {
  const std::string data = twoExamples();
  // A directory whose path leaves room for the model's name "m" but not for
  // the temporary name beside it.
  // (The longest path is 4095 bytes; the temporary name takes 15.)
  std::string deep = path("deep");
  while (deep.size() < 4084)
    deep += "/" + std::string(std::min<std::size_t>(200, 4084 - deep.size()), 'd');
  ASSERT_TRUE(deep.size() + 2 <= 4095 && deep.size() + 15 > 4095) << deep.size();
  fs::create_directories(deep);
  const std::string model = deep + "/m";
  write("deep.hard", "old\n");
  ASSERT_EQ(::link(path("deep.hard").c_str(), model.c_str()), 0);
  expectWritten(learn({data, model}), model);
  EXPECT_EQ(readWholeFile(path("deep.hard")), expectedModel());
  EXPECT_TRUE(noTemporaryIn(deep));
}

// A writable model in a directory the learner may not write; a new one
// there is refused before anything is read.
TEST(LearnFiles, ReadOnlyDirectoryIsWrittenInPlace) {
  const std::string data = twoExamples();
  const std::string locked = path("locked");
  fs::create_directory(locked);
  write("locked/m", "old\n");
  ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
  const bool canWriteAnyway = ::access(locked.c_str(), W_OK) == 0;
  if (!canWriteAnyway) {
    expectWritten(learn({data, locked + "/m"}), locked + "/m");
    const ProgramRun refused = learn({data, locked + "/new"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "\nFail: The model file " + locked +
                               "/new cannot be written: "
                               "Permission denied\n");
  }
  ::chmod(locked.c_str(), 0755);
  if (canWriteAnyway) GTEST_SKIP() << "a read-only directory is writable for root";
}

// A write that fails names the model file, not the temporary one; the
// temporary file is removed and the old model stays as it was.
TEST(LearnFiles, FailedModelWriteNamesTheModel) {
  std::string many;
  for (int i = 0; i < 40; ++i) {
    many += i % 2 ? "+1" : "-1";
    for (int f = 1; f <= 100; ++f) many += " " + std::to_string(f) + ":0." + std::to_string(i + f);
    many += "\n";
  }
  write("many.dat", many);
  write("kept.model", "old\n");
  // The model is far larger than 8 kB; standard output stays below.
  const ProgramRun run = learn({"many.dat", "kept.model"}, RunSettings{.fileSize = 8192});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.ends_with("\nFail: Error writing kept.model: File too large\n")) << run.err;
  EXPECT_EQ(readWholeFile(path("kept.model")), "old\n");
  EXPECT_TRUE(noTemporaryIn(dir()));
}

// No output may be an input: refused before anything is read or written,
// whatever name reaches the input.
TEST(LearnFiles, OutputsNeverOverwriteInputs) {
  write("train.dat", "+1 1:1\n-1 1:1 2:2\n");
  write("test.dat", "+1 1:1\n");
  write("lag", "Iteration 1\n1 0.5\n\n");
  write("dump-h", "Iteration 1\n1 0.5\n\n");
  write("keep.model", "old\n");
  ASSERT_EQ(::link(path("train.dat").c_str(), path("train.hard").c_str()), 0);
  ASSERT_EQ(::symlink("train.dat", path("train.link").c_str()), 0);
  const std::string destroy = "; writing it would destroy that file";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"train.dat", "train.dat"}, "The model file train.dat is the training file train.dat"},
      {{"train.dat", "train.hard"}, "The model file train.hard is the training file train.dat"},
      {{"train.dat", "train.link"}, "The model file train.link is the training file train.dat"},
      {{"--noread", "test.dat,train.dat", "train.link"},
       "The model file train.link is the training file train.dat"},
      {{"--test", "test.dat", "train.dat", "./test.dat"},
       "The model file ./test.dat is the test file test.dat"},
      {{"--dump-h-freq", "1", "--dump-h-file", "train.link", "train.dat", "m"},
       "The lagrangian dump file train.link is the training file train.dat"},
      {{"--dump-h-freq", "1", "--dump-h-file", "test.dat", "--test", "test.dat", "train.dat", "m"},
       "The lagrangian dump file test.dat is the test file test.dat"},
      {{"--dump-h-freq", "1", "--dump-h-file", "keep.model", "train.dat", "keep.model"},
       "The lagrangian dump file keep.model is the model file keep.model"},
      // Neither exists yet: the same name.
      {{"--dump-h-freq", "1", "--dump-h-file", "./unmade.model", "train.dat", "unmade.model"},
       "The lagrangian dump file ./unmade.model is the model file unmade.model"},
      {{"--dump-h-freq", "1", "--read-h-iter", "1", "--read-h-file", "lag", "--dump-h-file", "lag",
        "train.dat", "m"},
       "The lagrangian dump file lag is the restart's lagrangian file lag"},
      // Both file names at their default.
      {{"--dump-h-freq", "1", "--read-h-iter", "1", "train.dat", "m"},
       "The lagrangian dump file dump-h is the restart's lagrangian file dump-h"},
  };
  for (const auto& [args, message] : cases) {
    const ProgramRun run = learn(args);
    EXPECT_EQ(run.status, 1) << message;
    EXPECT_EQ(run.out, "") << message;
    EXPECT_EQ(run.err, "\nFail: " + message + destroy + "\n");
  }
  EXPECT_EQ(readWholeFile(path("train.dat")), "+1 1:1\n-1 1:1 2:2\n");
  EXPECT_EQ(readWholeFile(path("test.dat")), "+1 1:1\n");
  EXPECT_EQ(readWholeFile(path("lag")), "Iteration 1\n1 0.5\n\n");
  EXPECT_EQ(readWholeFile(path("keep.model")), "old\n");
  EXPECT_FALSE(fs::exists(path("m")) || fs::exists(path("unmade.model")));

  // The dump file is only an output when dumps are on, the restart's file
  // only an input when a restart reads it.
  EXPECT_EQ(learn({"--dump-h-file", "train.dat", "train.dat", "m"}).status, 0);
  EXPECT_EQ(learn({"--dump-h-freq", "1", "--read-h-file", "lag", "--dump-h-file", "lag",
                   "train.dat", "m2"})
                .status,
            0);
  EXPECT_EQ(readWholeFile(path("train.dat")), "+1 1:1\n-1 1:1 2:2\n");
}

// Standard output carries the learner's report; losing it is a failure.
TEST(LearnFiles, LostStandardOutputIsAFailure) {
  const std::string data = twoExamples();
  ProgramRun run = learn({data, "out.model"}, RunSettings{.stdoutPath = "/dev/full"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "\nFail: Error writing standard output: No space left on device\n");
  EXPECT_FALSE(fs::exists(path("out.model")));

  // A pipe whose reader has gone: an error, not a silent death by SIGPIPE.
  int ends[2];
  ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
  ::close(ends[0]);
  run = learn({data, "out.model"}, RunSettings{.stdoutFd = ends[1]});
  ::close(ends[1]);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "\nFail: Error writing standard output: Broken pipe\n");
}

// A model file that is the learner's own standard output, here appended to
// a log, is written through it after what the learner printed: the log
// keeps its lines and is neither truncated nor replaced.
TEST(LearnFiles, ModelThatIsStandardOutputIsWrittenThroughIt) {
  const std::string data = twoExamples();
  const std::string log = write("learn.log", "earlier\n");
  std::string printed = learn({data, "plain.model"}).out;
  printed.replace(printed.find("plain.model"), 11, "/dev/stdout");
  const int fd = ::open(log.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  const ProgramRun run = learn({data, "/dev/stdout"}, RunSettings{.stdoutFd = fd});
  ::close(fd);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(readWholeFile(log), "earlier\n" + printed + expectedModel());
}

// A dump to a pipe whose reader has gone stops the run, naming the pipe.
// The dump is larger than a pipe holds, so the learner meets the closed
// end however quickly it writes.
TEST(LearnFiles, DumpToAClosedPipeIsAFailure) {
  std::string many;
  for (int i = 0; i < 1000; ++i) many += i % 2 ? "+1 1:0.5\n" : "-1 1:0.25\n";
  write("dumped.dat", many);
  ProgramRun run;
  {
    FifoPeer fifo(inDir("dump.fifo"), FifoPeer::Program::Writes, [](int) {});
    run = learn({"-i", "30", "-h", "0", "--dump-h-freq", "1", "--dump-h-file", fifo.path(),
                 "dumped.dat", "dumped.model"});
  }
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "\nFail: Error writing " + path("dump.fifo") + ": Broken pipe\n");
  EXPECT_FALSE(fs::exists(path("dumped.model")));
}

// Example files are read twice (a counting or indexing pass, then the
// examples), which a FIFO cannot give.
TEST(LearnFiles, ExampleFileThatCannotSeek) {
  for (const bool onDisk : {false, true}) {
    ProgramRun run;
    {
      FifoPeer fifo(inDir("train.fifo"), FifoPeer::Program::Reads, [](int fd) {
        const std::string line = "+1 1:0.5\n";
        (void)::write(fd, line.data(), line.size());
      });
      std::vector<std::string> args = {"train.fifo", "fifo.model"};
      if (onDisk) args.insert(args.begin(), "--noread");
      run = learn(args);
    }
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "\nFail: train.fifo: cannot seek: example files must be regular files\n");
  }
}

}  // namespace
}  // namespace kelvor

#endif  // KELVORLEARN_PATH
