// What every file system promises for a missing path, and for a folder or a file where the
// other is expected: this OS's real one on a temporary folder, and the one in memory that the
// engine's tests run on, so those tests see what the disk would give.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/file_entry.h"
#include "engine/platform/file_system.h"
#include "engine/platform/path_rules.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/temp_dir_test.h"

namespace {

using platform::IoResult;
using ::testing::IsEmpty;
using ::testing::StartsWith;

class FileSystemContractTest : public testing_support::TempDirTest,
                               public testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    if (GetParam()) {
      memory_.AddFolder(testing_support::Native("/t"));
      fs_ = &memory_;
      base_ = testing_support::Native("/t");
    } else {
      fs_ = &platform::DefaultFileSystem();
      base_ = PathOf();
    }
    // Made through the interface itself, so both kinds start alike.
    ASSERT_TRUE(fs_->MakeFolder(Path("folder")).ok());
    ASSERT_TRUE(fs_->ReplaceText(Path("file"), "text").ok());
  }

  std::string Path(const std::string& relative) const {
    return base_ + platform::kPathSeparator + testing_support::Native(relative);
  }

  testing_support::MemoryFileSystem memory_;
  platform::FileSystem* fs_ = nullptr;
  std::string base_;
};

struct Refusal {
  std::string what;  // the message's beginning: "<operation> <path>"
  std::function<IoResult()> call;
  std::optional<bool> not_found;  // none: the OSes differ
};

void ExpectRefusals(const std::vector<Refusal>& refusals) {
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.what);
    IoResult result = r.call();
    EXPECT_FALSE(result.ok());
    if (r.not_found) {
      EXPECT_EQ(result.not_found, *r.not_found);
    }
    EXPECT_THAT(result.message, StartsWith(r.what + ": "));
    // Nothing of this goes away by itself: a copy is never tried again for it.
    EXPECT_FALSE(result.may_pass) << r.what;
  }
}

TEST_P(FileSystemContractTest, AMissingPathFailsAsNotFound) {
  const std::string missing = Path("missing"), inside = Path("missing/x");
  const std::string file = Path("file"), folder = Path("folder");
  platform::FolderListing listing;
  uint32_t attr = 0;
  platform::FolderId id;
  platform::SourceStamp stamp = 0;
  std::string text;
  ExpectRefusals({
      {"list " + missing, [&] { return fs_->ListFolder(missing, "*.*", true, &listing); }, true},
      {"status " + missing, [&] { return fs_->GetAttributes(missing, &attr); }, true},
      {"status " + missing, [&] { return fs_->GetFolderId(missing, &id); }, true},
      {"create folder " + inside, [&] { return fs_->MakeFolder(inside); }, true},
      {"copy " + missing + " -> " + Path("folder/a"),
       [&] { return fs_->CopyOver(missing, Path("folder/a"), 0, &stamp); }, true},
      {"copy " + file + " -> " + inside, [&] { return fs_->CopyOver(file, inside, 0, &stamp); },
       true},
      {"read " + missing, [&] { return fs_->ReadText(missing, &text); }, true},
      {"write " + inside, [&] { return fs_->ReplaceText(inside, "x"); }, true},
  });
  engine::FileEntry entry;
  EXPECT_FALSE(fs_->FindEntry(missing, "file", &entry));
  EXPECT_FALSE(fs_->FindEntry(folder, "missing", &entry));
  EXPECT_EQ(fs_->ReadProfileString(missing, "Main", "Key", "default"), "default");
  fs_->RemoveStaleTemporaries(missing);
  std::vector<std::string> failures;
  fs_->FlushFolders({missing}, &failures);
  EXPECT_THAT(failures, IsEmpty());
}

TEST_P(FileSystemContractTest, AFolderOrAFileWhereTheOtherIsExpectedIsRefused) {
  const std::string file = Path("file"), folder = Path("folder");
  platform::FolderListing listing;
  platform::FolderId id;
  platform::SourceStamp stamp = 0;
  std::string text;
  ExpectRefusals({
      {"list " + file, [&] { return fs_->ListFolder(file, "*.*", true, &listing); }, {}},
      {"status " + file, [&] { return fs_->GetFolderId(file, &id); }, {}},
      {"create folder " + file, [&] { return fs_->MakeFolder(file); }, false},
      {"copy " + file + " -> " + folder, [&] { return fs_->CopyOver(file, folder, 0, &stamp); },
       false},
      {"copy " + folder + " -> " + Path("copy"),
       [&] { return fs_->CopyOver(folder, Path("copy"), 0, &stamp); }, false},
      {"read " + folder, [&] { return fs_->ReadText(folder, &text); }, false},
      {"write " + folder, [&] { return fs_->ReplaceText(folder, "x"); }, false},
  });
  EXPECT_FALSE(fs_->ReplaceText("", "x").ok());
  EXPECT_TRUE(fs_->MakeFolder(folder).ok());  // a folder that is there already is no failure
  uint32_t attr = 0;
  ASSERT_TRUE(fs_->GetAttributes(folder, &attr).ok());
  EXPECT_NE(attr & engine::kAttrFolder, 0u);
  ASSERT_TRUE(fs_->GetAttributes(file, &attr).ok());
  EXPECT_EQ(attr & engine::kAttrFolder, 0u);
  EXPECT_EQ(fs_->ReadText(file, &text).ok() ? text : "", "text");
}

TEST_P(FileSystemContractTest, ACopyIsListedFoundAndStamped) {
  platform::SourceStamp stamp = 0, again = 0;
  ASSERT_TRUE(fs_->CopyOver(Path("file"),
                            Path("folder") + platform::kPathSeparator + platform::kPathSeparator +
                                "copy.txt",
                            0, &stamp)
                  .ok());
  // The same version again; one the source never had is refused where stamps are known.
  EXPECT_TRUE(fs_->CopyOver(Path("file"), Path("folder/copy.txt"), stamp, &again).ok());
  EXPECT_EQ(again, stamp);
  if (stamp != 0) {
    const platform::IoResult changed =
        fs_->CopyOver(Path("file"), Path("folder/other"), stamp + 1, &again);
    EXPECT_FALSE(changed.ok());
    EXPECT_FALSE(changed.may_pass) << "a source that changed is never tried again";
  }

  platform::FolderListing listing;
  ASSERT_TRUE(fs_->ListFolder(Path("folder"), "*.TXT", true, &listing).ok());
  ASSERT_EQ(listing.files.size(), 1u);
  EXPECT_EQ(listing.files[0].Name, "copy.txt");
  EXPECT_EQ(listing.files[0].Size, 4u);
  platform::FolderListing none;
  ASSERT_TRUE(fs_->ListFolder(Path("folder"), "", false, &none).ok());
  EXPECT_THAT(none.files, IsEmpty());

  engine::FileEntry entry;
  ASSERT_TRUE(fs_->FindEntry(base_, "folder", &entry));
  EXPECT_NE(entry.Attr & engine::kAttrFolder, 0u);
  EXPECT_EQ(entry.Size, 0u);
  ASSERT_TRUE(fs_->WriteProfileString(Path("new.ini"), "Main", "Key", "value").ok());
  EXPECT_EQ(fs_->ReadProfileString(Path("new.ini"), "main", "key", "default"), "value");
}

// The scan asks for a folder's names in one go; each answer is the single search's.
TEST_P(FileSystemContractTest, LookupsInOneGoAnswerAsTheSingleSearch) {
  std::vector<engine::FileEntry> like(4);
  like[0].Name = like[3].Name = "file";
  like[1].Name = "missing";
  like[2].Name = "folder";
  for (const std::string& folder : {base_, Path("missing"), Path("file")}) {
    SCOPED_TRACE(folder);
    std::vector<platform::FoundEntry> found = {{}, {}, {}, {}, {}, {}};
    fs_->FindEntries(folder, like, &found);
    ASSERT_EQ(found.size(), like.size());
    for (size_t i = 0; i < like.size(); ++i) {
      engine::FileEntry single;
      const bool there = fs_->FindEntry(folder, like[i].Name, &single);
      EXPECT_EQ(found[i].found, there) << like[i].Name;
      EXPECT_EQ(there, folder == base_ && like[i].Name != "missing") << like[i].Name;
      if (!there)
        continue;
      EXPECT_EQ(found[i].entry.Size, single.Size) << like[i].Name;
      EXPECT_EQ(found[i].entry.Time, single.Time) << like[i].Name;
      EXPECT_EQ(found[i].entry.Attr, single.Attr) << like[i].Name;
      EXPECT_THAT(found[i].entry.Name, IsEmpty());
    }
  }
  std::vector<platform::FoundEntry> none = {{}};
  fs_->FindEntries(base_, {}, &none);
  EXPECT_THAT(none, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(FileSystems, FileSystemContractTest, testing::Bool(),
                         [](const auto& row) { return row.param ? "InMemory" : "OnDisk"; });

}  // namespace
