// Names of the pattern ".~parlowen-<16 hex digits>.tmp" are the program's temporary files. A
// source file of such a name is never handed out, and a target file of such a name that is not
// provably one of the program's own, left behind, stays where the user put it.
#include <stdio.h>
#include <sys/stat.h>

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/platform/temp_name.h"
#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

class ReservedNameTest : public ReliabilityTest {
 protected:
  // Renames `relative` to the temporary name bound to its inode, as a killed copy leaves it.
  std::string BindToInode(const std::string& relative) {
    struct stat st;
    EXPECT_EQ(stat(PathOf(relative).c_str(), &st), 0);
    const std::filesystem::path bound =
        std::filesystem::path(relative).parent_path() / platform::TempNameFor(st.st_ino);
    EXPECT_EQ(rename(PathOf(relative).c_str(), PathOf(bound.string()).c_str()), 0);
    return bound.string();
  }
};

TEST_F(ReservedNameTest, SourceFilesOfThePatternAreNeitherCopiedNorCounted) {
  PutFile(WriteFile("src/a.txt", ""), "a", kBaseTimeNs);
  PutFile(WriteFile("src/sub/b.txt", ""), "b", kBaseTimeNs);
  WriteFile("src/.~parlowen-0123456789abcdef.tmp", "a user's file");
  WriteFile("src/sub/left.dat", "a copy a killed run left in a folder another job reads");
  BindToInode("src/sub/left.dat");
  const std::string settings = WriteDefaultSettings();

  std::string out, err;
  Ended ended = RunToEnd({PARLOCON_PATH, "--stats", settings}, PathOf(), &out, &err);

  EXPECT_EQ(ended.exit_code, 0) << err;
  EXPECT_THAT(err,
              ::testing::StartsWith("parlocon: files listed 2, copies made 6, bytes copied 6,"));
  for (const std::string& target : Targets()) {
    EXPECT_THAT(ReadTree(target).temporaries, ::testing::IsEmpty()) << target;
  }
  EXPECT_THAT(TargetDifferences(), ::testing::UnorderedElementsAre(
                                       "src: temporary .~parlowen-0123456789abcdef.tmp",
                                       ::testing::StartsWith("src: temporary sub/.~parlowen-")));
}

TEST_F(ReservedNameTest, OnlyTemporariesAKilledRunLeftAreRemovedFromTargets) {
  PutFile(WriteFile("src/a.txt", ""), "a", kBaseTimeNs);
  PutFile(WriteFile("src/sub/b.txt", ""), "b", kBaseTimeNs);
  const std::string settings = WriteDefaultSettings();
  // A user's files of the pattern, and a copy of a left-over made by another tool, next to the
  // files every run writes.
  WriteFile("dest1/.~parlowen-0123456789abcdef.tmp", "a user's file");
  WriteFile("master/sub/.~parlowen-fedcba9876543210.tmp", "another user's file");
  WriteFile("elsewhere/left.dat", "copied by another tool");
  const std::string copied = std::filesystem::path(BindToInode("elsewhere/left.dat")).filename();
  MakeFolder("dest2/sub");
  std::filesystem::copy_file(PathOf("elsewhere/" + copied), PathOf("dest2/sub/" + copied));
  // What a killed run left.
  WriteFile("dest2/left.dat", "half a copy");
  const std::string left = BindToInode("dest2/left.dat");

  for (int run = 0; run < 2; ++run) {
    RunResult result = Run(settings);
    EXPECT_EQ(result.ended.exit_code, 0) << result.err;
    PutFile(PathOf("src/a.txt"), "a, next version", kBaseTimeNs + (run + 1) * kSecondNs);
    PutFile(PathOf("src/sub/b.txt"), "b, next version", kBaseTimeNs + (run + 1) * kSecondNs);
  }

  EXPECT_EQ(ReadFile("dest1/.~parlowen-0123456789abcdef.tmp"), "a user's file");
  EXPECT_EQ(ReadFile("master/sub/.~parlowen-fedcba9876543210.tmp"), "another user's file");
  EXPECT_EQ(ReadFile("dest2/sub/" + copied), "copied by another tool");
  EXPECT_FALSE(std::filesystem::exists(PathOf(left))) << left;
}

}  // namespace
}  // namespace reliability
