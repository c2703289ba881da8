#include <sys/stat.h>

#include <filesystem>
#include <ostream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/file_entry.h"
#include "engine/platform/file_system.h"
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
  fs_.EndLookups();
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

// Sizes beyond 32 bits compare by their low part; the file is sparse, so this costs no space.
TEST_F(PosixFileSystemTest, SizeIsTheLow32Bits) {
  WriteFile("big", "");
  fs::resize_file(PathOf("big"), (uintmax_t{1} << 32) + 5);
  engine::FileEntry entry;
  ASSERT_TRUE(fs_.FindEntry(PathOf(), "big", &entry));
  fs_.EndLookups();
  EXPECT_EQ(entry.Size, 5u);
}

TEST_F(PosixFileSystemTest, StaleTemporariesGoOtherFilesStay) {
  WriteFile("dest/.~parlowen-0123456789abcdef.tmp", "left by a killed run");
  WriteFile("dest/.~parlowen-notours.tmp", "x");
  WriteFile("dest/keep.txt", "x");
  fs_.RemoveStaleTemporaries(PathOf("dest"));
  EXPECT_THAT(ListTree("dest"), testing::ElementsAre(".~parlowen-notours.tmp", "keep.txt"));
}

}  // namespace
