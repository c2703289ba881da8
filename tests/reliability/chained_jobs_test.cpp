// Chained jobs: job A copies into "stage", and job B hands "stage" on. B runs while A is in the
// middle of copying a large file into stage (A is stopped there with SIGSTOP): B must never
// take that copy, whole or in part, and where the file system has unnamed files no temporary
// name shows in stage at all. Stage lies on a tmpfs (unnamed files) or on FUSE (none: named
// temporary files instead).
#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/platform/posix/shared_file_system.h"
#include "engine/platform/temp_name.h"
#include "tests/reliability/support/fuse_bind.h"
#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

constexpr size_t kLargeSize = 32 << 20;
constexpr int kAttempts = 10;

struct ChainCase {
  const char* name;
  bool stage_on_fuse;
};

void PrintTo(const ChainCase& c, std::ostream* os) {
  *os << c.name;
}

// The state letter of each of the program's threads, from /proc.
std::string ThreadStates(pid_t pid) {
  std::string states;
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  if (DIR* dir = opendir(tasks.c_str())) {
    while (struct dirent* d = readdir(dir)) {
      if (d->d_name[0] == '.')
        continue;
      std::ifstream in(tasks + "/" + d->d_name + "/stat");
      std::string line;
      std::getline(in, line);
      const size_t after_name = line.rfind(')');
      if (after_name != std::string::npos && after_name + 2 < line.size()) {
        states += line[after_name + 2];
      }
    }
    closedir(dir);
  }
  return states;
}

bool Gone(pid_t pid) {
  const std::string states = ThreadStates(pid);
  return states.empty() || states.find_first_not_of("ZX") == std::string::npos;
}

bool Stopped(pid_t pid) {
  const std::string states = ThreadStates(pid);
  return !states.empty() && states.find_first_not_of("T") == std::string::npos;
}

class ChainedJobsTest : public ReliabilityTest, public ::testing::WithParamInterface<ChainCase> {
 protected:
  std::string Job(const std::string& name, const std::string& source, const std::string& dest,
                  const std::string& master) {
    return WriteFile(name, "[Main]\nSourceFolder=" + PathOf(source) + "\nMasterFolder=" +
                               PathOf(master) + "\nDestFolder=" + PathOf(dest) + "\n");
  }
  std::string Content(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i + 8 <= size; i += 8) {
      const uint64_t word = random_();
      std::memcpy(bytes.data() + i, &word, 8);
    }
    return bytes;
  }
  std::mt19937_64 random_{std::random_device{}()};
};

TEST_P(ChainedJobsTest, TheNextJobNeverTakesACopyStillBeingWritten) {
  const ChainCase& c = GetParam();
  MoveIntoRam("1g");
  for (const char* folder : {"stage", "master-a", "out", "master-b"}) MakeFolder(folder);
  std::unique_ptr<FuseBind> fuse;
  if (c.stage_on_fuse) {
    MakeFolder("stage-store");
    fuse = std::make_unique<FuseBind>(PathOf("stage-store"), PathOf("stage"));
    if (!fuse->mounted())
      GTEST_SKIP() << fuse->refusal();
  }
  for (int i = 0; i < 5; ++i) {
    PutFile(WriteFile("src/small" + std::to_string(i), ""), "small " + std::to_string(i),
            kBaseTimeNs);
  }
  const std::string job_a = Job("a.bfs", "src", "stage", "master-a");
  const std::string job_b = Job("b.bfs", "stage", "out", "master-b");
  std::vector<FileState> versions;  // of the large file, as the source had them
  // From here on each run of A copies the large file alone.
  ASSERT_EQ(Run(job_a).ended.exit_code, 0);

  bool caught = false;
  for (int attempt = 0; attempt < kAttempts && !caught; ++attempt) {
    ReplaceFile(PathOf("src/large.bin"), Content(kLargeSize), kBaseTimeNs + attempt * kSecondNs);
    versions.push_back(ReadTree(PathOf("src")).files.at("large.bin"));
    Process a(Command(job_a), PathOf(), OutputKind::kNull);
    while (!CopyUnderWay(a.pid(), PathOf("stage")) && !Gone(a.pid())) {
    }
    a.Signal(SIGSTOP);
    while (!Stopped(a.pid()) && !Gone(a.pid())) {
    }
    caught = CopyUnderWay(a.pid(), PathOf("stage"));
    if (caught) {
      const std::vector<std::string> shown = ReadTree(PathOf("stage")).temporaries;
      if (c.stage_on_fuse) {
        // A named temporary file instead, made under a name bound to its folder on this
        // mount of this system (FUSE's inode numbers are the mount's own).
        ASSERT_EQ(shown.size(), 1u);
        struct stat st;
        ASSERT_EQ(stat(PathOf("stage").c_str(), &st), 0);
        EXPECT_TRUE(
            platform::IsTempNameFor(shown[0], platform::PlaceOf(st.st_dev, PathOf("stage"))))
            << shown[0];
      } else {
        EXPECT_THAT(shown, ::testing::IsEmpty()) << "a copy under way showed a name";
      }
      RunResult b = Run(job_b);
      EXPECT_EQ(b.ended.exit_code, 0) << b.err;
      for (const char* target : {"out", "master-b"}) {
        const Tree tree = ReadTree(PathOf(target));
        EXPECT_THAT(tree.temporaries, ::testing::IsEmpty()) << target;
        for (const auto& [path, state] : tree.files) {
          if (path == "large.bin") {
            EXPECT_THAT(versions, ::testing::Contains(state)) << target << " has a part copy";
          } else {
            EXPECT_THAT(path, ::testing::StartsWith("small")) << target;
          }
        }
      }
    }
    a.Signal(SIGCONT);
    const Ended a_ended = a.Wait();
    EXPECT_EQ(a_ended.exit_code, 0) << a.err();
  }
  ASSERT_TRUE(caught) << "no copy into stage was caught under way in " << kAttempts << " runs";
  std::cout << "[ figures  ] caught under way in run " << versions.size() << " of job A\n";

  RunResult rerun = Run(job_b);
  EXPECT_EQ(rerun.ended.exit_code, 0) << rerun.err;
  const Tree source = ReadTree(PathOf("src"));
  for (const char* target : {"stage", "out", "master-b"}) {
    EXPECT_THAT(Differences(source, ReadTree(PathOf(target))), ::testing::IsEmpty()) << target;
  }
}

INSTANTIATE_TEST_SUITE_P(Stages, ChainedJobsTest,
                         ::testing::Values(ChainCase{"StageWithUnnamedFiles", false},
                                           ChainCase{"StageOnFuseWithoutThem", true}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace reliability
