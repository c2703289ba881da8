// The Windows file system against the contract of platform::FileSystem, on real folders.
#include <windows.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/dos_time.h"
#include "engine/platform/file_system.h"
#include "engine/platform/temp_name.h"
#include "engine/platform/win32/win32_temp_file.h"
#include "tests/support/temp_dir_test.h"
#include "tests/windows/left_over.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using ::testing::UnorderedElementsAre;
using windows_tests::PutLeftOver;

class Win32FileSystemTest : public testing_support::TempDirTest {
 protected:
  DWORD Attributes(const std::string& relative) const {
    return GetFileAttributesA(PathOf(relative).c_str());
  }
  void AddAttributes(const std::string& relative, DWORD attr) {
    ASSERT_TRUE(SetFileAttributesA(PathOf(relative).c_str(), Attributes(relative) | attr));
  }
  // Every name in a folder, so a test sees what a failed operation left behind.
  std::vector<std::string> Names(const std::string& relative) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(PathOf(relative))) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }
  uint64_t IndexOf(const std::string& relative) const {
    HANDLE file = CreateFileA(PathOf(relative).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  }
  FILETIME WriteTime(const std::string& relative) const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(PathOf(relative).c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
  }

  platform::FileSystem& fs_ = platform::DefaultFileSystem();
  platform::SourceStamp stamp_ = 0;
};

TEST_F(Win32FileSystemTest, ListsMatchingFilesAndEverySubfolder) {
  WriteFile("a.txt", "abc");
  WriteFile("b.doc", "x");
  WriteFile("sub\\c.txt", "x");
  MakeFolder("hid");
  AddAttributes("hid", FILE_ATTRIBUTE_HIDDEN);

  platform::FolderListing listing;
  ASSERT_TRUE(fs_.ListFolder(PathOf(), "*.TXT", true, &listing).ok());
  ASSERT_EQ(listing.files.size(), 1u);
  EXPECT_EQ(listing.files[0].Name, "a.txt");
  EXPECT_EQ(listing.files[0].Size, 3u);
  EXPECT_EQ(listing.files[0].Attr & FILE_ATTRIBUTE_DIRECTORY, 0u);
  ASSERT_EQ(listing.subfolders.size(), 2u);
  const platform::Subfolder& first = listing.subfolders[0];
  const platform::Subfolder& second = listing.subfolders[1];
  EXPECT_THAT((std::vector<std::string>{first.name, second.name}),
              UnorderedElementsAre("sub", "hid"));
  const platform::Subfolder& hid = first.name == "hid" ? first : second;
  EXPECT_NE(hid.attr & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_FALSE(first.id == second.id);
  platform::FolderId sub_id;
  ASSERT_TRUE(fs_.GetFolderId(PathOf("sub"), &sub_id).ok());
  EXPECT_TRUE(sub_id == (first.name == "sub" ? first : second).id);

  // No files for an empty mask or one that reaches into another folder; subfolders still.
  for (const char* mask : {"", "sub\\*.txt", "sub/*.txt"}) {
    platform::FolderListing none;
    ASSERT_TRUE(fs_.ListFolder(PathOf(), mask, true, &none).ok()) << mask;
    EXPECT_THAT(none.files, IsEmpty()) << mask;
    EXPECT_EQ(none.subfolders.size(), 2u) << mask;
  }
}

TEST_F(Win32FileSystemTest, AFolderThatCannotBeListedIsAFailureNamingIt) {
  WriteFile("file.txt", "x");
  for (const std::string& folder : {PathOf("missing"), PathOf("file.txt")}) {
    for (bool with_subfolders : {true, false}) {
      platform::FolderListing listing;
      platform::IoResult r = fs_.ListFolder(folder, "*.*", with_subfolders, &listing);
      EXPECT_FALSE(r.ok()) << folder;
      EXPECT_THAT(r.message, StartsWith("list " + folder + ": ")) << folder;
    }
  }
  platform::FolderListing empty;
  WriteFile("empty\\other.doc", "x");
  EXPECT_TRUE(fs_.ListFolder(PathOf("empty"), "*.txt", false, &empty).ok());
}

uint32_t ExpectedLocalDosTime(long long seconds) {
  const time_t t = static_cast<time_t>(seconds);
  std::tm local{};
  localtime_s(&local, &t);
  return engine::PackDosTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                             local.tm_min, local.tm_sec);
}

TEST_F(Win32FileSystemTest, EntryTimeIsTheLocalDosTimeInTwoSecondSteps) {
  struct Case {
    long long seconds;
    uint32_t expected;
  } cases[] = {
      {1623752431, ExpectedLocalDosTime(1623752431)},  // 2021-06-15 10:20:31 UTC, odd second
      {1623752430, ExpectedLocalDosTime(1623752430)},
      {157766400, engine::PackDosTime(1980, 1, 1, 0, 0, 0)},          // 1975: the earliest
      {4417977600LL, engine::PackDosTime(2107, 12, 31, 23, 59, 58)},  // 2110: the latest
  };
  for (const Case& c : cases) {
    WriteFile("t.txt", "x");
    SetTime("t.txt", c.seconds);
    engine::FileEntry entry;
    ASSERT_TRUE(fs_.FindEntry(PathOf(), "t.txt", &entry));
    EXPECT_EQ(entry.Time, c.expected) << c.seconds;
  }
  EXPECT_EQ(ExpectedLocalDosTime(1623752431), ExpectedLocalDosTime(1623752430));
}

TEST_F(Win32FileSystemTest, SizeIsTheLowThirtyTwoBits) {
  const std::string path = WriteFile("big.bin", "");
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size;
  size.QuadPart = (1LL << 32) + 5;
  EXPECT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
  EXPECT_TRUE(SetEndOfFile(file));
  CloseHandle(file);
  engine::FileEntry entry;
  ASSERT_TRUE(fs_.FindEntry(PathOf(), "big.bin", &entry));
  EXPECT_EQ(entry.Size, 5u);
  EXPECT_EQ(engine::FullSize(entry), (uint64_t{1} << 32) + 5);
}

TEST_F(Win32FileSystemTest, FindEntryFindsFilesAndFoldersAlike) {
  WriteFile("a.txt", "abc");
  MakeFolder("d");
  engine::FileEntry entry;
  ASSERT_TRUE(fs_.FindEntry(PathOf(), "A.TXT", &entry));
  EXPECT_EQ(entry.Size, 3u);
  ASSERT_TRUE(fs_.FindEntry(PathOf(), "d", &entry));
  EXPECT_EQ(entry.Size, 0u);
  EXPECT_NE(entry.Attr & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_FALSE(fs_.FindEntry(PathOf(), "b.txt", &entry));
  EXPECT_FALSE(fs_.FindEntry(PathOf("missing"), "a.txt", &entry));
}

TEST_F(Win32FileSystemTest, MakeFolderAcceptsAnExistingFolderOnly) {
  EXPECT_TRUE(fs_.MakeFolder(PathOf("new")).ok());
  EXPECT_NE(Attributes("new") & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_TRUE(fs_.MakeFolder(PathOf("new")).ok());
  WriteFile("file", "x");
  EXPECT_THAT(fs_.MakeFolder(PathOf("file")).message,
              StartsWith("create folder " + PathOf("file")));
  platform::IoResult r = fs_.MakeFolder(PathOf("missing\\sub"));
  EXPECT_FALSE(r.ok());
  EXPECT_TRUE(r.not_found);
}

// Copies into a share run beside one another, so they are told apart from local folders.
TEST_F(Win32FileSystemTest, SharesOfOtherMachinesWaitOnTheNetwork) {
  const struct {
    std::string folder;
    bool network;
  } cases[] = {
      {"\\\\server\\share\\app", true},
      {"//server/share", true},
      {"\\\\?\\UNC\\server\\share\\app", true},
      {PathOf(), false},
      {"C:\\", false},
      {"relative\\folder", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fs_.WaitsOnNetwork(c.folder), c.network) << c.folder;
  }
}

TEST_F(Win32FileSystemTest, CopyOverCarriesContentTimeAndAttributes) {
  WriteFile("src\\a.txt", "new content");
  SetTime("src\\a.txt", 1623752431, 123456700);
  AddAttributes("src\\a.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  MakeFolder("dst");

  ASSERT_TRUE(fs_.CopyOver(PathOf("src\\a.txt"), PathOf("dst") + "\\\\a.txt", 0, &stamp_).ok());

  EXPECT_EQ(ReadFile("dst\\a.txt"), "new content");
  EXPECT_EQ(Attributes("dst\\a.txt"), Attributes("src\\a.txt"));
  FILETIME from = WriteTime("src\\a.txt"), to = WriteTime("dst\\a.txt");
  EXPECT_EQ(CompareFileTime(&from, &to), 0);
  EXPECT_THAT(Names("dst"), ElementsAre("a.txt"));
}

TEST_F(Win32FileSystemTest, CopyOverReplacesAReadOnlyDestination) {
  WriteFile("src\\a.txt", "new");
  WriteFile("dst\\a.txt", "old");
  AddAttributes("dst\\a.txt", FILE_ATTRIBUTE_READONLY);

  ASSERT_TRUE(fs_.CopyOver(PathOf("src\\a.txt"), PathOf("dst\\a.txt"), 0, &stamp_).ok());

  EXPECT_EQ(ReadFile("dst\\a.txt"), "new");
  EXPECT_EQ(Attributes("dst\\a.txt") & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_THAT(Names("dst"), ElementsAre("a.txt"));
}

TEST_F(Win32FileSystemTest, AFailedCopyLeavesTheDestinationAndNoTemporaryFile) {
  WriteFile("src\\a.txt", "new");
  MakeFolder("dst\\a.txt");
  WriteFile("dst\\b.txt", "old");
  AddAttributes("dst\\b.txt", FILE_ATTRIBUTE_READONLY);
  struct Case {
    std::string from, to;
  } cases[] = {
      {PathOf("src\\a.txt"), PathOf("dst\\a.txt")},        // a folder stands there
      {PathOf("src\\missing.txt"), PathOf("dst\\b.txt")},  // nothing to copy
      {PathOf("src\\a.txt"), PathOf("nowhere\\a.txt")},    // no destination folder
  };
  for (const Case& c : cases) {
    platform::IoResult r = fs_.CopyOver(c.from, c.to, 0, &stamp_);
    EXPECT_FALSE(r.ok()) << c.to;
    EXPECT_THAT(r.message, StartsWith("copy " + c.from + " -> " + c.to + ": ")) << c.to;
  }
  EXPECT_NE(Attributes("dst\\a.txt") & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(ReadFile("dst\\b.txt"), "old");
  EXPECT_NE(Attributes("dst\\b.txt") & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_THAT(Names("dst"), UnorderedElementsAre("a.txt", "b.txt"));
}

// A source another program holds without sharing is a reason that may pass: once it lets go,
// the copy that is tried again succeeds.
TEST_F(Win32FileSystemTest, ASourceHeldWithoutSharingMayPass) {
  WriteFile("src\\a.txt", "held");
  MakeFolder("dst");
  HANDLE held = CreateFileA(PathOf("src\\a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  platform::IoResult refused = fs_.CopyOver(PathOf("src\\a.txt"), PathOf("dst\\a.txt"), 0, &stamp_);
  CloseHandle(held);
  EXPECT_FALSE(refused.ok());
  EXPECT_EQ(refused.os_code, ERROR_SHARING_VIOLATION);
  EXPECT_TRUE(refused.may_pass);
  EXPECT_TRUE(fs_.CopyOver(PathOf("src\\a.txt"), PathOf("dst\\a.txt"), 0, &stamp_).ok());
  EXPECT_EQ(ReadFile("dst\\a.txt"), "held");
}

TEST_F(Win32FileSystemTest, OnlyTemporariesBoundToTheirIndexAndNotInUseAreRemoved) {
  MakeFolder("dst");
  MakeFolder("elsewhere");
  const std::string dst = PathOf("dst");
  struct Case {
    const char* what;
    std::string name;
    bool removed;
  };
  std::vector<Case> cases;
  cases.push_back({"left over", PutLeftOver(dst, "left over"), true});
  const std::string read_only = PutLeftOver(dst, "left over, read-only");
  AddAttributes("dst\\" + read_only, FILE_ATTRIBUTE_READONLY);
  cases.push_back({"read-only left over", read_only, true});
  const std::string held = PutLeftOver(dst, "in use");
  cases.push_back({"in use", held, false});
  cases.push_back({"a user's file", ".~parlowen-0123456789abcdef.tmp", false});
  WriteFile("dst\\.~parlowen-0123456789abcdef.tmp", "mine");
  // Another tool's copy of a left-over: the name, but another index.
  const std::string copied = PutLeftOver(PathOf("elsewhere"), "copied");
  ASSERT_TRUE(
      CopyFileA(PathOf("elsewhere\\" + copied).c_str(), PathOf("dst\\" + copied).c_str(), TRUE));
  cases.push_back({"a copy of a left over", copied, false});
  // A folder named after its own index.
  const std::string folder = PutLeftOver(PathOf("elsewhere"), "");
  ASSERT_TRUE(DeleteFileA(PathOf("elsewhere\\" + folder).c_str()));
  MakeFolder("dst\\sub");
  HANDLE sub = CreateFileA(PathOf("dst\\sub").c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  BY_HANDLE_FILE_INFORMATION info;
  ASSERT_TRUE(GetFileInformationByHandle(sub, &info));
  CloseHandle(sub);
  const std::string folder_name =
      platform::TempNameFor((uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow);
  ASSERT_TRUE(MoveFileA(PathOf("dst\\sub").c_str(), PathOf("dst\\" + folder_name).c_str()));
  cases.push_back({"a folder", folder_name, false});
  cases.push_back({"another name", "keep.tmp", false});
  WriteFile("dst\\keep.tmp", "x");
  cases.push_back({"not the pattern", ".~parlowen-notmine.tmp", false});
  WriteFile("dst\\.~parlowen-notmine.tmp", "x");

  // As a copy under way holds its temporary file: shared with no one.
  HANDLE in_use = CreateFileA(PathOf("dst\\" + held).c_str(), GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(in_use, INVALID_HANDLE_VALUE);
  fs_.RemoveStaleTemporaries(dst);
  CloseHandle(in_use);

  const std::vector<std::string> names = Names("dst");
  for (const Case& c : cases) {
    const bool there = std::find(names.begin(), names.end(), c.name) != names.end();
    EXPECT_EQ(there, !c.removed) << c.what << ": " << c.name;
  }
  EXPECT_EQ(names.size(), cases.size() - 2);
  EXPECT_EQ(ReadFile("dst\\.~parlowen-0123456789abcdef.tmp"), "mine");
  // Once no copy has it open, the file is provably left behind.
  fs_.RemoveStaleTemporaries(dst);
  EXPECT_EQ(Names("dst").size(), cases.size() - 3);
}

TEST_F(Win32FileSystemTest, ATemporaryFileIsBoundToItsIndexAndHeldWhileInUse) {
  MakeFolder("dst");
  const std::string dst = PathOf("dst");
  std::string name;
  {
    platform::TempFile temp;
    ASSERT_EQ(temp.Create(dst + "\\"), static_cast<DWORD>(ERROR_SUCCESS));
    uint64_t index = 0;
    ASSERT_TRUE(platform::FileIndexOf(temp.handle(), &index));
    EXPECT_EQ(temp.path(), dst + "\\" + platform::TempNameFor(index));
    name = temp.path().substr(dst.size() + 1);
    EXPECT_EQ(CreateFileA(temp.path().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    fs_.RemoveStaleTemporaries(dst);
    EXPECT_THAT(Names("dst"), ElementsAre(name));
    // What a kill leaves: the file, no longer held.
    EXPECT_EQ(temp.CloseHandleOnly(), static_cast<DWORD>(ERROR_SUCCESS));
    temp.Forget();
  }
  EXPECT_THAT(Names("dst"), ElementsAre(name));
  fs_.RemoveStaleTemporaries(dst);
  EXPECT_THAT(Names("dst"), IsEmpty());
}

TEST_F(Win32FileSystemTest, ProfileStringsFollowTheProfileRules) {
  const std::string path = PathOf("job.bfs");
  EXPECT_EQ(fs_.ReadProfileString(path, "Main", "Mask", "*.*"), "*.*");
  ASSERT_TRUE(fs_.WriteProfileString(path, "Main", "Mask", "*.txt").ok());
  ASSERT_TRUE(fs_.WriteProfileString(path, "Main", "DestFolder", "C:\\a \r\nSyncSub=0").ok());
  EXPECT_EQ(fs_.ReadProfileString(path, "main", "MASK", "*.*"), "*.txt");
  EXPECT_EQ(fs_.ReadProfileString(path, "Main", "DestFolder", ""), "C:\\a");
  EXPECT_EQ(fs_.ReadProfileString(path, "Main", "SyncSub", "none"), "none");
  EXPECT_EQ(fs_.ReadProfileString(path, "Other", "Mask", "none"), "none");
  EXPECT_EQ(fs_.ReadProfileString("", "Main", "Mask", "none"), "none");
}

TEST_F(Win32FileSystemTest, RefusedWritesChangeNothing) {
  WriteFile("ro.bfs", "[Main]\r\nMask=*.*\r\n");
  AddAttributes("ro.bfs", FILE_ATTRIBUTE_READONLY);
  MakeFolder("folder.bfs");
  for (const std::string& path :
       {PathOf("ro.bfs"), PathOf("folder.bfs"), PathOf("missing\\job.bfs"), std::string()}) {
    platform::IoResult profile = fs_.WriteProfileString(path, "Main", "Mask", "x");
    EXPECT_FALSE(profile.ok()) << path;
    EXPECT_THAT(profile.message, StartsWith("write " + path + ": ")) << path;
    EXPECT_FALSE(fs_.ReplaceText(path, "x").ok()) << path;
  }
  EXPECT_EQ(ReadFile("ro.bfs"), "[Main]\r\nMask=*.*\r\n");
  EXPECT_THAT(Names(""), UnorderedElementsAre("ro.bfs", "folder.bfs"));
}

TEST_F(Win32FileSystemTest, ReplaceTextSwapsThePlainFileAndWritesALinkedOneInPlace) {
  struct Case {
    const char* name;
    bool second_name;  // a hard link beside it
    bool replaced;     // a new file takes the name, rather than the old one's bytes changing
  } cases[] = {{"plain.bfs", false, true}, {"linked.bfs", true, false}};
  for (const Case& c : cases) {
    const std::string path = WriteFile(c.name, "old text that is longer");
    AddAttributes(c.name, FILE_ATTRIBUTE_HIDDEN);
    const std::string link = PathOf(std::string("other name of ") + c.name);
    if (c.second_name) {
      ASSERT_TRUE(CreateHardLinkA(link.c_str(), path.c_str(), nullptr)) << c.name;
    }
    const uint64_t before = IndexOf(c.name);

    ASSERT_TRUE(fs_.ReplaceText(path, "new").ok()) << c.name;

    EXPECT_EQ(ReadFile(c.name), "new") << c.name;
    EXPECT_NE(Attributes(c.name) & FILE_ATTRIBUTE_HIDDEN, 0u) << c.name;
    EXPECT_EQ(IndexOf(c.name) != before, c.replaced) << c.name;
    if (c.second_name) {
      EXPECT_EQ(ReadFile(std::string("other name of ") + c.name), "new") << c.name;
    }
  }
  EXPECT_THAT(Names(""),
              UnorderedElementsAre("plain.bfs", "linked.bfs", "other name of linked.bfs"));
}

TEST_F(Win32FileSystemTest, ReadTextTakesFilesOnly) {
  WriteFile("job.bfs", "[Main]\r\n");
  std::string text;
  ASSERT_TRUE(fs_.ReadText(PathOf("job.bfs"), &text).ok());
  EXPECT_EQ(text, "[Main]\r\n");
  MakeFolder("folder");
  for (const std::string& path : {PathOf("folder"), PathOf("missing.bfs"), std::string("NUL")}) {
    platform::IoResult r = fs_.ReadText(path, &text);
    EXPECT_FALSE(r.ok()) << path;
    EXPECT_THAT(r.message, HasSubstr(path)) << path;
  }
  EXPECT_TRUE(fs_.ReadText(PathOf("missing.bfs"), &text).not_found);
}

}  // namespace
