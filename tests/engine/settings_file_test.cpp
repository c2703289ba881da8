#include "engine/settings_file.h"

#include <sys/stat.h>

#include <filesystem>
#include <ostream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/load_options.h"
#include "tests/support/temp_dir_test.h"

namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public testing_support::TempDirTest {};

struct ReadCase {
  const char* what;
  std::string text;
  std::string key;
  std::string expected;  // with the default "*.*"
};

void PrintTo(const ReadCase& c, std::ostream* os) {
  *os << c.what;
}

class ReadTextTest : public testing_support::TempDirTest,
                     public testing::WithParamInterface<ReadCase> {};

TEST_P(ReadTextTest, ReadsAsTheProfileLookupDoes) {
  const ReadCase& c = GetParam();
  engine::SettingsFile file(WriteFile("job.bfs", c.text));
  EXPECT_EQ(file.ReadText("Main", c.key, "*.*"), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Lookup, ReadTextTest,
    testing::Values(
        ReadCase{"plain", "[Main]\nMask=*.txt\n", "Mask", "*.txt"},
        ReadCase{"names ignore case", "[main]\nmask=*.txt\n", "Mask", "*.txt"},
        ReadCase{"names and values trimmed", "[ Main ]\n \t Mask  =  *.txt \t\n", "Mask", "*.txt"},
        ReadCase{"empty value is no default", "[Main]\nMask=\n", "Mask", ""},
        ReadCase{"section only", "[Main]\n", "Mask", "*.*"},
        ReadCase{"empty file", "", "Mask", "*.*"},
        ReadCase{"other section", "[Other]\nMask=x\n", "Mask", "*.*"},
        ReadCase{"key before any section", "Mask=x\n[Main]\n", "Mask", "*.*"},
        ReadCase{"key of a later section", "[Main]\n[Other]\nMask=x\n", "Mask", "*.*"},
        ReadCase{"double quotes", "[Main]\nMask=\"a b\"\n", "Mask", "a b"},
        ReadCase{"single quotes", "[Main]\nMask='a b'\n", "Mask", "a b"},
        ReadCase{"white space inside quotes", "[Main]\nMask=\" a \"\n", "Mask", " a "},
        ReadCase{"only one pair", "[Main]\nMask=\"\"x\"\"\n", "Mask", "\"x\""},
        ReadCase{"unlike quotes", "[Main]\nMask=\"a'\n", "Mask", "\"a'"},
        ReadCase{"lone quote", "[Main]\nMask=\"\n", "Mask", "\""},
        ReadCase{"CRLF", "[Main]\r\nMask=*.txt\r\n", "Mask", "*.txt"},
        ReadCase{"no final line end", "[Main]\nMask=*.txt", "Mask", "*.txt"},
        ReadCase{"byte-order mark", "\xEF\xBB\xBF[Main]\nMask=*.txt\n", "Mask", "*.txt"},
        ReadCase{"first line of a key", "[Main]\nMask=a\nMASK=b\n", "Mask", "a"},
        ReadCase{"first section", "[Main]\nMask=a\n[main]\nMask=b\n", "Mask", "a"},
        ReadCase{"first section even without the key", "[Main]\n[Main]\nMask=b\n", "Mask", "*.*"},
        ReadCase{"no comments", "[Main]\n;Mask=x\n", "Mask", "*.*"},
        ReadCase{"semicolon is part of a name", "[Main]\n;Mask=x\n", ";Mask", "x"},
        ReadCase{"value holds '='", "[Main]\nMask = a = b\n", "Mask", "a = b"},
        ReadCase{"separators kept", "[Main]\nDestFolder=/a ; /b  \n", "DestFolder", "/a ; /b"},
        ReadCase{"stray bytes around",
                 std::string("\x01\xFF\n[Main]\n\x80=\x81\n\0\nMask=ok\n\0", 25), "Mask", "ok"},
        ReadCase{"cut to 2047", "[Main]\nMask=" + std::string(3000, 'm') + "\n", "Mask",
                 std::string(2047, 'm')},
        ReadCase{"cut after quotes go", "[Main]\nMask=\"" + std::string(2100, 'q') + "\"\n", "Mask",
                 std::string(2047, 'q')}));

TEST_F(SettingsFileTest, MissingFileOrFolderGivesTheDefault) {
  MakeFolder("folder");
  for (const std::string& path : {PathOf("missing.bfs"), PathOf("folder"), std::string()}) {
    EXPECT_EQ(engine::SettingsFile(path).ReadText("Main", "Mask", "*.*"), "*.*") << path;
  }
}

struct SwitchCase {
  std::string value;
  bool when_default_false;
  bool when_default_true;
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
  *os << "'" << c.value << "'";
}

class ReadSwitchTest : public testing_support::TempDirTest,
                       public testing::WithParamInterface<SwitchCase> {};

TEST_P(ReadSwitchTest, NumbersSwitchWordsTakeTheDefault) {
  const SwitchCase& c = GetParam();
  engine::SettingsFile file(WriteFile("job.bfs", "[Main]\nflag=" + c.value + "\n"));
  EXPECT_EQ(file.ReadSwitch("Main", "flag", false), c.when_default_false) << c.value;
  EXPECT_EQ(file.ReadSwitch("Main", "flag", true), c.when_default_true) << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, ReadSwitchTest,
    testing::Values(SwitchCase{"0", false, false}, SwitchCase{"1", true, true},
                    SwitchCase{"-1", true, true}, SwitchCase{"2", true, true},
                    SwitchCase{"0x10", true, true}, SwitchCase{"$0", false, false},
                    SwitchCase{"00", false, false}, SwitchCase{"  0  ", false, false},
                    SwitchCase{"\"0\"", false, false}, SwitchCase{"$FFFFFFFF", true, true},
                    SwitchCase{"$123456789", false, true}, SwitchCase{"1.0", false, true},
                    SwitchCase{"0x", false, true}, SwitchCase{"true", false, true},
                    SwitchCase{"false", false, true}, SwitchCase{"", false, true}));

TEST_F(SettingsFileTest, LoadOptionsReadsEveryKeyOrItsDefault) {
  engine::TOptionSync loaded;
  loaded.Mask = "left over";
  engine::LoadOptions(PathOf("missing.bfs"), loaded);
  EXPECT_EQ(loaded, engine::TOptionSync());
  EXPECT_EQ(loaded.Mask, "*.*");
  EXPECT_TRUE(loaded.SyncSub && loaded.CreateSub && loaded.flSize && loaded.flDate);
  EXPECT_FALSE(loaded.flAttr || loaded.flReadOnly || loaded.flHidden || loaded.flArchive ||
               loaded.flSystem || loaded.flCompressed);

  WriteFile("job.bfs",
            "[Main]\nSourceFolder=/s\nMasterFolder=/m\nDestFolder=/a;/b\nSyncSub=0\n"
            "CreateSub=0\nMask=*.txt\nflSize=0\nflDate=0\nflAttr=1\nflReadOnly=1\n"
            "flHidden=1\nflArchive=1\nflSystem=1\nflCompressed=1\n");
  engine::LoadOptions(PathOf("job.bfs"), loaded);
  // A file of the fourteen keys alone: every later key keeps the default that behaves as
  // before (no tolerance, no hour shift, nothing excluded, no tries again).
  EXPECT_EQ(loaded, (engine::TOptionSync{"/s",  "/m", "/a;/b", false, false, "*.txt", false,
                                         false, true, true,    true,  true,  true,    true,
                                         0,     0,    false,   "",    0,     5}));
}

struct EditCase {
  const char* what;
  std::string before;
  std::string key;
  std::string value;
  std::string after;
};

void PrintTo(const EditCase& c, std::ostream* os) {
  *os << c.what;
}

class WriteTextTest : public testing_support::TempDirTest,
                      public testing::WithParamInterface<EditCase> {};

TEST_P(WriteTextTest, ChangesOnlyTheKeysLine) {
  const EditCase& c = GetParam();
  engine::SettingsFile file(WriteFile("job.bfs", c.before));
  ASSERT_TRUE(file.WriteText("Main", c.key, c.value).ok());
  EXPECT_EQ(ReadFile("job.bfs"), c.after) << c.what;
  EXPECT_EQ(file.ReadText("Main", c.key, "?"), c.value) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Edits, WriteTextTest,
    testing::Values(
        EditCase{"replace among others",
                 "; notes\n[Other]\nMask=keep\n\n[Main]\nSourceFolder=/s\nmask = old \nflX=1\n",
                 "Mask", "*.txt",
                 "; notes\n[Other]\nMask=keep\n\n[Main]\nSourceFolder=/s\nmask=*.txt\nflX=1\n"},
        EditCase{"CRLF kept for the changed line", "[Main]\r\nMask=a\r\nflDate=1\r\n", "Mask", "b",
                 "[Main]\r\nMask=b\r\nflDate=1\r\n"},
        EditCase{"new key ends the section, before blank lines",
                 "[Main]\r\nflDate=1\r\n\r\n[Next]\r\nx=1\r\n", "Mask", "*.c",
                 "[Main]\r\nflDate=1\r\nMask=*.c\r\n\r\n[Next]\r\nx=1\r\n"},
        EditCase{"new key after a last line without line end", "[Main]\nflDate=1", "Mask", "*",
                 "[Main]\nflDate=1\nMask=*\n"},
        EditCase{"missing section goes at the end", "[Other]\r\nx=1", "Mask", "*",
                 "[Other]\r\nx=1\r\n[Main]\r\nMask=*\r\n"},
        EditCase{"first of duplicate keys", "[Main]\nMask=a\nMask=b\n", "Mask", "c",
                 "[Main]\nMask=c\nMask=b\n"},
        EditCase{"first of duplicate sections", "[Main]\nx=1\n[Main]\nMask=b\n", "Mask", "c",
                 "[Main]\nx=1\nMask=c\n[Main]\nMask=b\n"},
        EditCase{"byte-order mark kept", "\xEF\xBB\xBF[Main]\nMask=a\n", "Mask", "b",
                 "\xEF\xBB\xBF[Main]\nMask=b\n"},
        EditCase{"empty value is written, not deleted", "[Main]\nMask=a\n", "Mask", "",
                 "[Main]\nMask=\n"}));

TEST_F(SettingsFileTest, TextsAreWrittenUnchangedAndReadBackTrimmed) {
  engine::SettingsFile file(PathOf("job.bfs"));
  ASSERT_TRUE(file.WriteText("Main", "DestFolder", "/a;/b  ").ok());
  EXPECT_EQ(ReadFile("job.bfs"), "[Main]\nDestFolder=/a;/b  \n");
  EXPECT_EQ(file.ReadText("Main", "DestFolder", ""), "/a;/b");
}

// A line break in a value would start a line of its own and could plant any key.
TEST_F(SettingsFileTest, ValueCannotAddLines) {
  engine::SettingsFile file(WriteFile("job.bfs", "[Main]\nSourceFolder=/s\n"));
  ASSERT_TRUE(file.WriteText("Main", "Mask", "*.txt\nSourceFolder=/etc\r\n[Main]").ok());
  EXPECT_EQ(ReadFile("job.bfs"), "[Main]\nSourceFolder=/s\nMask=*.txt\n");
}

TEST_F(SettingsFileTest, WriteKeepsModeAndLinks) {
  WriteFile("real.bfs", "[Main]\nMask=a\n");
  fs::permissions(PathOf("real.bfs"), fs::perms(0640));
  fs::create_symlink("real.bfs", PathOf("link.bfs"));

  ASSERT_TRUE(engine::SettingsFile(PathOf("link.bfs")).WriteText("Main", "Mask", "b").ok());

  EXPECT_TRUE(fs::is_symlink(PathOf("link.bfs")));
  EXPECT_EQ(ReadFile("real.bfs"), "[Main]\nMask=b\n");
  EXPECT_EQ(fs::status(PathOf("real.bfs")).permissions(), fs::perms(0640));
  for (const auto& entry : fs::directory_iterator(PathOf())) {
    EXPECT_THAT(entry.path().filename().string(), testing::Not(testing::HasSubstr("parlowen")));
  }
}

// Refused also for root, who could write a read-only file: the owner asked for it to stay.
TEST_F(SettingsFileTest, RefusedWritesSayUnableAndChangeNothing) {
  WriteFile("readonly.bfs", "[Main]\nMask=a\n");
  fs::permissions(PathOf("readonly.bfs"), fs::perms(0444));
  MakeFolder("folder.bfs");
  for (const std::string& path :
       {std::string(), PathOf("folder.bfs"), PathOf("missing/job.bfs"), PathOf("readonly.bfs")}) {
    engine::SettingsFile file(path);
    platform::IoResult result = file.WriteText("Main", "Mask", "b");
    EXPECT_FALSE(result.ok()) << path;
    EXPECT_EQ(result.message, "Unable to write to " + path);
    EXPECT_FALSE(file.WriteSwitch("Main", "SyncSub", false).ok()) << path;
  }
  EXPECT_EQ(ReadFile("readonly.bfs"), "[Main]\nMask=a\n");
  EXPECT_FALSE(fs::exists(PathOf("missing")));
  EXPECT_TRUE(fs::is_empty(PathOf("folder.bfs")));
}

}  // namespace
