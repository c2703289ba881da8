#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/file_entry.h"
#include "engine/platform/file_system.h"
#include "engine/platform/temp_name.h"
#include "tests/support/temp_dir_test.h"

namespace {

namespace fs = std::filesystem;

class PosixFileSystemTest : public testing_support::TempDirTest {
 protected:
  platform::FileSystem& fs_ = platform::DefaultFileSystem();
};

struct AttrCase {
  std::string name;
  bool folder;
  unsigned mode;
  uint32_t attr;
};

void PrintTo(const AttrCase& c, std::ostream* os) {
  *os << c.name;
}

class EntryAttrTest : public PosixFileSystemTest, public testing::WithParamInterface<AttrCase> {};

TEST_P(EntryAttrTest, AttributesComeFromKindModeAndName) {
  const AttrCase& c = GetParam();
  if (c.folder) {
    MakeFolder("dir/" + c.name);
  } else {
    WriteFile("dir/" + c.name, "12345");
  }
  fs::permissions(PathOf("dir/" + c.name), fs::perms(c.mode));
  engine::FileEntry entry;
  ASSERT_TRUE(fs_.FindEntry(PathOf("dir"), c.name, &entry));
  EXPECT_EQ(entry.Attr, c.attr) << c.name;
  EXPECT_EQ(entry.Size, c.folder ? 0u : 5u);
  EXPECT_EQ(entry.Name, c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, EntryAttrTest,
    testing::Values(
        AttrCase{"plain.txt", false, 0644, engine::kAttrArchive},
        AttrCase{"locked.txt", false, 0444, engine::kAttrArchive | engine::kAttrReadOnly},
        AttrCase{"group-writable", false, 0464, engine::kAttrArchive | engine::kAttrReadOnly},
        AttrCase{".hidden", false, 0600, engine::kAttrArchive | engine::kAttrHidden},
        AttrCase{"folder", true, 0755, engine::kAttrFolder},
        AttrCase{".git", true, 0755, engine::kAttrFolder | engine::kAttrHidden},
        AttrCase{"locked-folder", true, 0555, engine::kAttrFolder | engine::kAttrReadOnly}));

// Sizes beyond 32 bits compare by their low part; the upper part is kept for byte counts. The
// file is sparse, so this costs no space.
TEST_F(PosixFileSystemTest, SizeIsTheLow32Bits) {
  WriteFile("big", "");
  fs::resize_file(PathOf("big"), (uintmax_t{1} << 32) + 5);
  engine::FileEntry entry;
  ASSERT_TRUE(fs_.FindEntry(PathOf(), "big", &entry));
  EXPECT_EQ(entry.Size, 5u);
  platform::FolderListing listing;
  ASSERT_TRUE(fs_.ListFolder(PathOf(), "*.*", false, &listing).ok());
  ASSERT_EQ(listing.files.size(), 1u);
  EXPECT_EQ(listing.files[0].Size, 5u);
  EXPECT_EQ(engine::FullSize(listing.files[0]), (uint64_t{1} << 32) + 5);
}

// Whatever is not a file or a folder after following links is not listed, and never opened:
// opening a pipe would stall the scan.
TEST_F(PosixFileSystemTest, EntriesThatAreNeitherFilesNorFoldersAreLeftOut) {
  MakeFolder("odd");
  ASSERT_EQ(mkfifo(PathOf("odd/pipe.txt").c_str(), 0644), 0);
  fs::create_symlink(PathOf("odd/pipe.txt"), PathOf("odd/pipe-link.txt"));
  fs::create_symlink(PathOf("nowhere"), PathOf("odd/dangling.txt"));

  platform::FolderListing listing;
  ASSERT_TRUE(fs_.ListFolder(PathOf("odd"), "*.*", true, &listing).ok());

  EXPECT_THAT(listing.files, testing::IsEmpty());
  EXPECT_THAT(listing.subfolders, testing::IsEmpty());
  EXPECT_THAT(listing.failures, testing::IsEmpty());
}

// A linked folder, and every spelling of a folder, has the identity of the folder itself, so
// the scan can tell a target inside the source and a link back up the tree.
TEST_F(PosixFileSystemTest, FolderIdentityFollowsLinksAndSpellings) {
  MakeFolder("src/sub");
  fs::create_directory_symlink(PathOf("src"), PathOf("src/sub/to-top"));
  platform::FolderId src, dotted, linked;
  ASSERT_TRUE(fs_.GetFolderId(PathOf("src"), &src).ok());
  ASSERT_TRUE(fs_.GetFolderId(PathOf("src") + "/./sub/..//", &dotted).ok());
  ASSERT_TRUE(fs_.GetFolderId(PathOf("src/sub/to-top"), &linked).ok());
  platform::FolderListing listing;
  ASSERT_TRUE(fs_.ListFolder(PathOf("src/sub"), "*.*", true, &listing).ok());

  EXPECT_TRUE(dotted == src);
  EXPECT_TRUE(linked == src);
  ASSERT_EQ(listing.subfolders.size(), 1u);
  EXPECT_TRUE(listing.subfolders[0].id == src);
}

// Times compare in the 2-second steps of an MS-DOS time.
TEST_F(PosixFileSystemTest, TimesOfOneTwoSecondStepAreEqual) {
  constexpr long long kEven = 1700000000;
  const struct {
    const char* name;
    long long seconds;
    long nanoseconds;
  } files[] = {{"even", kEven, 0}, {"same-step", kEven + 1, 999999999}, {"before", kEven - 1, 0}};
  for (const auto& file : files) {
    WriteFile(file.name, "x");
    SetTime(file.name, file.seconds, file.nanoseconds);
  }
  engine::FileEntry even, same_step, before;
  ASSERT_TRUE(fs_.FindEntry(PathOf(), "even", &even));
  ASSERT_TRUE(fs_.FindEntry(PathOf(), "same-step", &same_step));
  ASSERT_TRUE(fs_.FindEntry(PathOf(), "before", &before));

  EXPECT_EQ(same_step.Time, even.Time);
  EXPECT_NE(before.Time, even.Time);
}

TEST_F(PosixFileSystemTest, CopiesCarryTimeAndModeAndReplaceReadOnlyCopies) {
  WriteFile("src/ro.txt", "v1");
  SetTime("src/ro.txt", 1700000000, 123456789);
  fs::permissions(PathOf("src/ro.txt"), fs::perms(0444));
  WriteFile("src/run.sh", "#!/bin/sh\n");
  SetTime("src/run.sh", 1600000001, 500000000);
  fs::permissions(PathOf("src/run.sh"), fs::perms(0750));
  WriteFile("src/shared.txt", "s");
  fs::permissions(PathOf("src/shared.txt"), fs::perms(0666));  // more than the usual umask lets by
  MakeFolder("dest");
  platform::SourceStamp stamp = 0;
  for (const char* name : {"ro.txt", "run.sh", "shared.txt"}) {
    ASSERT_TRUE(fs_.CopyOver(PathOf("src/") + name, PathOf("dest/") + name, 0, &stamp).ok());
  }
  fs::permissions(PathOf("src/ro.txt"), fs::perms(0644));
  WriteFile("src/ro.txt", "version 2");
  fs::permissions(PathOf("src/ro.txt"), fs::perms(0444));
  SetTime("src/ro.txt", 1700000100, 987654321);

  ASSERT_TRUE(fs_.CopyOver(PathOf("src/ro.txt"), PathOf("dest/ro.txt"), 0, &stamp).ok());

  EXPECT_EQ(ReadFile("dest/ro.txt"), "version 2");
  EXPECT_EQ(TimeOf("dest/ro.txt"), "1700000100.987654321");
  EXPECT_EQ(ModeOf("dest/ro.txt"), 0444u);
  EXPECT_EQ(TimeOf("dest/run.sh"), "1600000001.500000000");
  EXPECT_EQ(ModeOf("dest/run.sh"), 0750u);
  EXPECT_EQ(ModeOf("dest/shared.txt"), 0666u);
  EXPECT_THAT(ListTree("dest"), testing::ElementsAre("ro.txt", "run.sh", "shared.txt"));
}

// What a cleaner may remove: only a plain file whose temporary name is the one bound to its own
// inode and whose lock nobody holds. Everything else of the pattern belongs to someone else.
class StaleTemporaryTest;

struct CleanerCase {
  std::string name;
  // Makes the entry in `folder` and gives its name.
  std::function<std::string(StaleTemporaryTest&, const std::string& folder)> make;
  bool removed;
};

void PrintTo(const CleanerCase& c, std::ostream* os) {
  *os << c.name;
}

class StaleTemporaryTest : public PosixFileSystemTest,
                           public testing::WithParamInterface<CleanerCase> {
 public:
  // Renames `path` to the temporary name bound to its inode.
  static std::string BindToInode(const std::string& path) {
    struct stat st;
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    const std::string name = platform::TempNameFor(st.st_ino);
    EXPECT_EQ(rename(path.c_str(), (fs::path(path).parent_path() / name).c_str()), 0);
    return name;
  }
  std::string Bound(const std::string& folder, const std::string& content) {
    return BindToInode(WriteFile(folder + "/new", content));
  }
  using PosixFileSystemTest::MakeFolder;
  using PosixFileSystemTest::PathOf;
  using PosixFileSystemTest::WriteFile;
  int lock_fd_ = -1;
};

TEST_P(StaleTemporaryTest, OnlyAnUnlockedFileBoundToItsOwnInodeIsRemoved) {
  const CleanerCase& c = GetParam();
  WriteFile("dest/keep.txt", "x");
  const std::string name = c.make(*this, "dest");
  ASSERT_TRUE(platform::IsTempName(name) || name == ".~parlowen-notours.tmp") << name;

  fs_.RemoveStaleTemporaries(PathOf("dest"));

  struct stat st;
  EXPECT_EQ(lstat(PathOf("dest/" + name).c_str(), &st) != 0, c.removed) << name;
  EXPECT_EQ(ReadFile("dest/keep.txt"), "x");
  if (lock_fd_ >= 0)
    close(lock_fd_);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, StaleTemporaryTest,
    testing::Values(CleanerCase{"LeftByAKilledCopy",
                                [](StaleTemporaryTest& f, const std::string& folder) {
                                  return f.Bound(folder, "half a copy");
                                },
                                true},
                    CleanerCase{"LeftReadOnly",
                                [](StaleTemporaryTest& f, const std::string& folder) {
                                  const std::string name = f.Bound(folder, "half a copy");
                                  chmod(f.PathOf(folder + "/" + name).c_str(), 0444);
                                  return name;
                                },
                                true},
                    CleanerCase{"InUseByAnotherRun",
                                [](StaleTemporaryTest& f, const std::string& folder) {
                                  const std::string name = f.Bound(folder, "being written");
                                  f.lock_fd_ =
                                      open(f.PathOf(folder + "/" + name).c_str(), O_RDONLY);
                                  EXPECT_EQ(flock(f.lock_fd_, LOCK_EX | LOCK_NB), 0);
                                  return name;
                                },
                                false},
                    CleanerCase{"AUsersFileOfThePattern",
                                [](StaleTemporaryTest& f, const std::string& folder) {
                                  f.WriteFile(folder + "/.~parlowen-0123456789abcdef.tmp", "mine");
                                  return std::string(".~parlowen-0123456789abcdef.tmp");
                                },
                                false},
                    CleanerCase{"ACopyOfALeftOverMadeByAnotherTool",
                                [](StaleTemporaryTest& f, const std::string& folder) {
                                  const std::string name = f.Bound("elsewhere", "a copy");
                                  fs::copy_file(f.PathOf("elsewhere/" + name),
                                                f.PathOf(folder + "/" + name));
                                  return name;
                                },
                                false},
                    CleanerCase{"AFolderBoundToItsInode",
                                [](StaleTemporaryTest& f, const std::string& folder) {
                                  f.MakeFolder(folder + "/sub");
                                  return StaleTemporaryTest::BindToInode(f.PathOf(folder + "/sub"));
                                },
                                false},
                    CleanerCase{"ALinkBoundToItsInode",
                                [](StaleTemporaryTest& f, const std::string& folder) {
                                  fs::create_symlink("keep.txt", f.PathOf(folder + "/link"));
                                  return StaleTemporaryTest::BindToInode(
                                      f.PathOf(folder + "/link"));
                                },
                                false},
                    CleanerCase{"NotOfThePattern",
                                [](StaleTemporaryTest& f, const std::string& folder) {
                                  f.WriteFile(folder + "/.~parlowen-notours.tmp", "x");
                                  return std::string(".~parlowen-notours.tmp");
                                },
                                false}),
    [](const auto& row) { return row.param.name; });

}  // namespace
