// Saving a settings file that is shared: one in a folder only root may write, one that root
// owns and a group may write, one with a second name (a hard link). The window saves key by
// key; each save must keep the file's owner, group, mode and names, and leave no temporary
// file. Where a new file could carry all that, the file is still replaced in one step.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/ini_text.h"
#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

struct Owner {
  bool nobody;  // nobody:nogroup, else root:root
  bool group_nogroup;
};

struct SharedFileCase {
  const char* name;
  bool as_nobody;  // who saves
  Owner folder_owner;
  unsigned folder_mode;
  Owner file_owner;
  unsigned file_mode;
  bool second_name;
  bool replaced;  // a new file took the name (else the file was written in place)
};

void PrintTo(const SharedFileCase& c, std::ostream* os) {
  *os << c.name;
}

class SharedSettingsTest : public ReliabilityTest,
                           public ::testing::WithParamInterface<SharedFileCase> {
 protected:
  void Give(const std::string& path, Owner owner, unsigned mode) {
    ASSERT_EQ(
        chown(path.c_str(), owner.nobody ? NobodyUid() : 0, owner.group_nogroup ? NobodyGid() : 0),
        0);
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
  }
};

TEST_P(SharedSettingsTest, SavingKeepsOwnerGroupModeAndNames) {
  const SharedFileCase& c = GetParam();
  if (geteuid() != 0)
    GTEST_SKIP() << "files of several owners need root";
  MakeFolder("shared");
  const std::string path = WriteFile("shared/job.bfs", "[Main]\nSourceFolder=/first\n");
  Give(path, c.file_owner, c.file_mode);
  Give(PathOf("shared"), c.folder_owner, c.folder_mode);
  if (c.second_name) {
    ASSERT_EQ(link(path.c_str(), PathOf("shared/other.bfs").c_str()), 0);
  }
  struct stat before;
  ASSERT_EQ(stat(path.c_str(), &before), 0);
  // Held open, so a new file cannot be given the old one's inode number.
  const int original = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(original, 0);

  std::string err;
  const Ended saved =
      RunToEnd({SETTINGS_SAVER_PATH, path, "one", "1"}, PathOf(), nullptr, &err, c.as_nobody);

  EXPECT_EQ(saved.exit_code, 0) << err;
  const std::string text = ReadFile("shared/job.bfs");
  EXPECT_EQ(engine::FindIniValue(text, "Main", "SourceFolder"), "/one-0/SourceFolder") << text;
  EXPECT_EQ(engine::FindIniValue(text, "Main", "flCompressed"), "0") << text;
  struct stat after;
  ASSERT_EQ(stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_gid, before.st_gid);
  EXPECT_EQ(after.st_mode, before.st_mode);
  EXPECT_EQ(after.st_ino != before.st_ino, c.replaced);
  close(original);
  if (c.second_name) {
    EXPECT_EQ(ReadFile("shared/other.bfs"), text);
  }
  EXPECT_THAT(ReadTree(PathOf("shared")).temporaries, ::testing::IsEmpty());
}

constexpr Owner kRoot{false, false}, kNobody{true, true}, kRootNogroup{false, true};

INSTANTIATE_TEST_SUITE_P(
    Files, SharedSettingsTest,
    ::testing::Values(
        SharedFileCase{"ReplacedKeepingItsMode", false, kRoot, 0755, kRoot, 0640, false, true},
        SharedFileCase{"AnotherUsersFileSavedByRoot", false, kRoot, 0755, kNobody, 0604, false,
                       true},
        SharedFileCase{"InAFolderOnlyRootMayWrite", true, kRoot, 0755, kRoot, 0666, false, false},
        SharedFileCase{"RootsFileAGroupMayWrite", true, kRootNogroup, 0775, kRootNogroup, 0664,
                       false, false},
        SharedFileCase{"WithASecondName", false, kRoot, 0755, kRoot, 0644, true, false}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace reliability
