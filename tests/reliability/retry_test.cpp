// Copies that failed for a reason that may pass, tried again after the wait: a destination or
// master that is full, and a destination file with a file mounted over it (the name is busy),
// each freed while the run waits to try again; the same left as they are until the last try;
// and causes that cannot pass, which are never tried again. The run is held by its own standard
// error, a full one-page pipe, at the line that announces the try: the cause is freed after the
// run met it and before the run tries again, whatever the machine's pace.
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/reliability_test.h"
#include "tests/reliability/support/tmpfs_mount.h"
#include "tests/support/run_program.h"

namespace reliability {
namespace {

enum class Cause { kFullTarget, kMountedOverFile, kFolderInTheWay, kNoPermission };

struct RetryCase {
  const char* name;
  Cause cause;
  const char* target;  // where the cause is: dest1, dest2 or master
  const char* keys;    // the retry keys
  bool freed;          // the test frees the cause while the run waits to try again
  int exit_code;
  std::vector<std::string> errors;  // standard error's lines, sorted, {src} etc. filled in
};

void PrintTo(const RetryCase& c, std::ostream* os) {
  *os << c.name;
}

std::string Bytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

class RetryTest : public ReliabilityTest, public ::testing::WithParamInterface<RetryCase> {
 protected:
  void TearDown() override {
    if (!bound_.empty())
      umount2(bound_.c_str(), MNT_DETACH);
    mount_.reset();
    ReliabilityTest::TearDown();
  }

  // Sets the cause up; false (with the reason in `refusal`) where the machine refuses.
  bool MakeCause(const RetryCase& c, std::string* refusal) {
    const std::string target = PathOf(c.target);
    switch (c.cause) {
      case Cause::kFullTarget:
        mount_ = std::make_unique<TmpfsMount>(target, "size=1m");
        *refusal = mount_->refusal();
        return mount_->mounted();
      case Cause::kMountedOverFile: {
        // The old version stays in place under the mount; a rename over a mount point is
        // refused as busy.
        PutFile(target + "/big.bin", "old", kBaseTimeNs);
        PutFile(PathOf("cover"), "cover", kBaseTimeNs);
        if (mount(PathOf("cover").c_str(), (target + "/big.bin").c_str(), nullptr, MS_BIND,
                  nullptr) != 0) {
          *refusal = std::string("mount --bind: ") + std::strerror(errno);
          return false;
        }
        bound_ = target + "/big.bin";
        return true;
      }
      case Cause::kFolderInTheWay:
        MakeFolder(std::string(c.target) + "/big.bin");
        return true;
      case Cause::kNoPermission:
        if (!testing_support::CanRunAsNobody()) {
          *refusal = "running as nobody needs root";
          return false;
        }
        GiveToNobody(PathOf());
        if (chown(target.c_str(), 0, 0) != 0) {
          *refusal = std::string("chown: ") + std::strerror(errno);
          return false;
        }
        return true;
    }
    return false;
  }

  void FreeCause(const RetryCase& c) {
    if (c.cause == Cause::kFullTarget) {
      ASSERT_TRUE(mount_->Remount("size=8m"));
    } else if (c.cause == Cause::kMountedOverFile) {
      ASSERT_EQ(umount2(bound_.c_str(), 0), 0) << std::strerror(errno);
      bound_.clear();
    }
  }

  std::unique_ptr<TmpfsMount> mount_;
  std::string bound_;  // a file mounted over a destination file
};

TEST_P(RetryTest, TriesAgainOnlyWhatMayPassAndEndsByTheLastTry) {
  const RetryCase& c = GetParam();
  for (const char* t : {"dest1", "dest2", "master"}) MakeFolder(t);
  std::string refusal;
  if (!MakeCause(c, &refusal))
    GTEST_SKIP() << refusal;
  MakeFolder("src");
  PutFile(PathOf("src/big.bin"), Bytes(2 << 20, 1), kBaseTimeNs + kSecondNs);
  PutFile(PathOf("src/small.txt"), "small", kBaseTimeNs);
  const std::string settings = WriteDefaultSettings();
  { std::ofstream(settings, std::ios::app) << c.keys; }
  const bool as_nobody = c.cause == Cause::kNoPermission;

  StartOptions start;
  start.as_nobody = as_nobody;
  start.error_full = c.freed;
  Process run(Command(settings), PathOf(), start);
  if (c.freed) {
    // Held at the first line on standard error: the announcement of the try.
    while (!run.BlockedWriting(2)) {
      ASSERT_TRUE(run.Read(1, /*with_output=*/true, /*with_error=*/false))
          << "the run ended before it announced a try";
    }
    FreeCause(c);
  }
  const Ended ended = run.Wait();

  std::vector<std::string> lines, expected;
  std::istringstream err(run.err());
  for (std::string line; std::getline(err, line);) lines.push_back(line);
  for (const std::string& line : c.errors) expected.push_back("parlocon: " + FillPaths(line));
  std::sort(lines.begin(), lines.end());
  EXPECT_THAT(lines, ::testing::ElementsAreArray(expected));
  EXPECT_EQ(ended.exit_code, c.exit_code);
  // Standard output as without tries again: one line per file and target.
  EXPECT_EQ(std::count(run.out().begin(), run.out().end(), '\n'), 1 + 2 * 3);

  if (c.exit_code != 0) {
    // The master waits for the file that did not reach every destination.
    EXPECT_FALSE(ReadTree(PathOf("master")).files.count("big.bin") &&
                 std::string(c.target) != "master");
    if (c.cause == Cause::kFolderInTheWay)
      ASSERT_EQ(rmdir(PathOf(std::string(c.target) + "/big.bin").c_str()), 0);
    else if (c.cause == Cause::kNoPermission)
      ASSERT_EQ(chown(PathOf(c.target).c_str(), NobodyUid(), NobodyGid()), 0);
    else
      FreeCause(c);
    RunResult rerun = Run(settings, as_nobody);
    EXPECT_EQ(rerun.ended.exit_code, 0) << rerun.err;
  }
  EXPECT_THAT(TargetDifferences(), ::testing::IsEmpty());
}

const char kFull[] = ": No space left on device";
const char kHeldBack[] =
    "master copy held back for {src}/big.bin: not every destination "
    "received it";

INSTANTIATE_TEST_SUITE_P(
    Faults, RetryTest,
    ::testing::Values(
        RetryCase{
            "FullDestinationFreedWhileTheRunWaits",
            Cause::kFullTarget,
            "dest1",
            "Retries=2\nRetryWait=1\n",
            true,
            0,
            {std::string("retry 1 of 2 in 1 s: copy {src}/big.bin -> {dest1}//big.bin") + kFull}},
        RetryCase{
            "FullMasterFreedWhileTheRunWaits",
            Cause::kFullTarget,
            "master",
            "Retries=1\nRetryWait=1\n",
            true,
            0,
            {std::string("retry 1 of 1 in 1 s: copy {src}/big.bin -> {master}//big.bin") + kFull}},
        RetryCase{"MountOverTheDestinationFileGoneWhileTheRunWaits",
                  Cause::kMountedOverFile,
                  "dest2",
                  "Retries=3\nRetryWait=0\n",
                  true,
                  0,
                  {"retry 1 of 3: copy {src}/big.bin -> {dest2}//big.bin: Device or resource "
                   "busy"}},
        RetryCase{"FullDestinationUntilTheLastTry",
                  Cause::kFullTarget,
                  "dest2",
                  "Retries=2\nRetryWait=0\n",
                  false,
                  3,
                  {std::string("copy {src}/big.bin -> {dest2}//big.bin") + kFull, kHeldBack,
                   std::string("retry 1 of 2: copy {src}/big.bin -> {dest2}//big.bin") + kFull,
                   std::string("retry 2 of 2: copy {src}/big.bin -> {dest2}//big.bin") + kFull}},
        RetryCase{"FolderInTheWayIsNotTriedAgain",
                  Cause::kFolderInTheWay,
                  "dest1",
                  "Retries=3\nRetryWait=0\n",
                  false,
                  3,
                  {"copy {src}/big.bin -> {dest1}//big.bin: Is a directory", kHeldBack}},
        RetryCase{"PermissionIsNotTriedAgain",
                  Cause::kNoPermission,
                  "dest1",
                  "Retries=3\nRetryWait=0\n",
                  false,
                  3,
                  {"copy {src}/big.bin -> {dest1}//big.bin: Permission denied",
                   "copy {src}/small.txt -> {dest1}//small.txt: Permission denied", kHeldBack,
                   "master copy held back for {src}/small.txt: not every destination "
                   "received it"}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace reliability
