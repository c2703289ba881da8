// Loading a settings file into the controls, and writing the controls back to it.
#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/form/form_test.h"

namespace form_tests {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ControlId = form::ControlId;

const char kEveryKeyChanged[] =
    "[Main]\n"
    "SourceFolder=/src\n"
    "MasterFolder=/master\n"
    "DestFolder=/d1;/d2\n"
    "SyncSub=0\n"
    "CreateSub=0\n"
    "Mask=*.txt\n"
    "flSize=0\n"
    "flDate=0\n"
    "flAttr=1\n"
    "flReadOnly=1\n"
    "flHidden=1\n"
    "flArchive=1\n"
    "flSystem=1\n"
    "flCompressed=1\n";

const std::vector<std::string> kDefaultBoxes = {
    "chSyncSub=1/1",  "chCreateSub=1/1", "chSize=1/1",    "chDate=1/1",   "chAttr=0/1",
    "chReadOnly=0/0", "chHidden=0/0",    "chArchive=0/0", "chSystem=0/0", "chCompressed=0/0"};

class MainFormSettingsTest : public FormTest {
 protected:
  std::vector<std::string> Texts() const {
    return {Text(ControlId::meSource), Text(ControlId::meMaster), Text(ControlId::meDest),
            Text(ControlId::meMask)};
  }
};

TEST_F(MainFormSettingsTest, LoadsTheFileIntoTheControlsWithTheirEnabling) {
  const struct {
    const char* content;
    std::vector<std::string> texts;
    std::vector<std::string> boxes;
  } rows[] = {
      {kEveryKeyChanged,
       {"/src", "/master", "/d1;/d2", "*.txt"},
       {"chSyncSub=0/1", "chCreateSub=0/0", "chSize=0/1", "chDate=0/1", "chAttr=1/1",
        "chReadOnly=1/1", "chHidden=1/1", "chArchive=1/1", "chSystem=1/1", "chCompressed=1/1"}},
      // A disabled box still shows what the file says.
      {"[Main]\nflAttr=0\nflHidden=1\nMask=\n",
       {"", "", "", ""},
       {"chSyncSub=1/1", "chCreateSub=1/1", "chSize=1/1", "chDate=1/1", "chAttr=0/1",
        "chReadOnly=0/0", "chHidden=1/0", "chArchive=0/0", "chSystem=0/0", "chCompressed=0/0"}},
  };
  for (const auto& row : rows) {
    view_ = FakeView();
    const std::string path = WriteFile("job.bfs", row.content);
    Open({path});
    EXPECT_EQ(Text(ControlId::cbINI), path);
    EXPECT_EQ(Texts(), row.texts);
    EXPECT_EQ(Boxes(), row.boxes);
  }
  // A name that names no file yet loads the defaults, enabling included.
  Edit(ControlId::cbINI, PathOf("new.bfs"));
  EXPECT_THAT(Texts(), ElementsAre("", "", "", "*.*"));
  EXPECT_EQ(Boxes(), kDefaultBoxes);
}

TEST_F(MainFormSettingsTest, ClicksKeepTheDependentBoxesEnabling) {
  Open();
  Click(ControlId::chSyncSub);
  Click(ControlId::chAttr);
  EXPECT_THAT(Boxes(), ElementsAre("chSyncSub=0/1", "chCreateSub=1/0", "chSize=1/1", "chDate=1/1",
                                   "chAttr=1/1", "chReadOnly=0/1", "chHidden=0/1", "chArchive=0/1",
                                   "chSystem=0/1", "chCompressed=0/1"));
  Click(ControlId::chSyncSub);
  Click(ControlId::chAttr);
  EXPECT_EQ(Boxes(), kDefaultBoxes);
}

TEST_F(MainFormSettingsTest, BareNameIsTakenFromTheProgramFolder) {
  WriteFile("a.bfs", "[Main]\nSourceFolder=/from-program-folder\n");
  Open({"a.bfs"});
  EXPECT_EQ(Text(ControlId::meSource), "/from-program-folder");

  // Typed key by key: each text is loaded in turn, the last one names the file.
  Edit(ControlId::cbINI, "");
  Edit(ControlId::meSource, "/unsaved");
  Type(ControlId::cbINI, "a.bf");
  EXPECT_EQ(Text(ControlId::meSource), "");
  Edit(ControlId::meSource, "/unsaved");
  Type(ControlId::cbINI, "s");
  EXPECT_EQ(Text(ControlId::meSource), "/from-program-folder");
  // The same text reported again is no change: the unsaved edit stays.
  Edit(ControlId::meSource, "/unsaved");
  form_->cbINIChange();
  EXPECT_EQ(Text(ControlId::meSource), "/unsaved");
}

TEST_F(MainFormSettingsTest, NameThatIsNotUtf8OpensItsOwnFile) {
  if (OnWindows())
    GTEST_SKIP() << "Windows names are always text";
  const std::string name = "caf\xE9.bfs";
  WriteFile(name, "[Main]\nSourceFolder=/latin\n");
  Open({PathOf(name)});
  EXPECT_EQ(Text(ControlId::meSource), "/latin");
  Edit(ControlId::meSource, "/edited");
  Click(ControlId::btExit);
  EXPECT_EQ(LinesOf(name).at(1), "SourceFolder=/edited");
  EXPECT_FALSE(std::filesystem::exists(PathOf("caf\xEF\xBF\xBD.bfs")));
}

TEST_F(MainFormSettingsTest, UnquotedNameWithBlanksIsJoinedAgainWhenItExists) {
  WriteFile("My Sync/b.bfs", "[Main]\nSourceFolder=/b\n");
  Open({PathOf("My"), "Sync/b.bfs"});
  EXPECT_EQ(Text(ControlId::meSource), "/b");
  EXPECT_EQ(Text(ControlId::cbINI), PathOf("My") + " Sync/b.bfs");
  // Where the joined name is no file, the first parameter is the name.
  view_ = FakeView();
  Open({PathOf("My"), "Other/c.bfs"});
  EXPECT_EQ(Text(ControlId::cbINI), PathOf("My"));
}

TEST_F(MainFormSettingsTest, ExitWritesTheFourteenKeysInOrderIntoANewFile) {
  Open({PathOf("new.bfs")});
  Edit(ControlId::meSource, "/s");
  Edit(ControlId::meDest, " /d1;/d2 ");  // written as it stands
  Edit(ControlId::meMask, "*.doc");
  Click(ControlId::chAttr);
  Click(ControlId::chSystem);
  Click(ControlId::btExit);
  EXPECT_TRUE(view_.closed);
  EXPECT_THAT(
      LinesOf("new.bfs"),
      ElementsAre("[Main]", "SourceFolder=/s", "MasterFolder=", "DestFolder= /d1;/d2 ", "SyncSub=1",
                  "CreateSub=1", "Mask=*.doc", "flSize=1", "flDate=1", "flAttr=1", "flReadOnly=0",
                  "flHidden=0", "flArchive=0", "flSystem=1", "flCompressed=0"));
  EXPECT_THAT(dialogs_.calls, ElementsAre());
}

TEST_F(MainFormSettingsTest, SaveChangesOnlyTheKeysOfMainInAnExistingFile) {
  WriteFile("job.bfs",
            "[Other]\r\nSourceFolder=keep\r\n[Main]\r\nNote=keep me\r\nflDate=0\r\n"
            "SourceFolder=/old\r\n\r\n[Tail]\r\nx=1\r\n");
  Open({PathOf("job.bfs")});
  Edit(ControlId::meSource, "/new");
  Click(ControlId::btExit);
  EXPECT_EQ(ReadFile("job.bfs"),
            "[Other]\r\nSourceFolder=keep\r\n[Main]\r\nNote=keep me\r\nflDate=0\r\n"
            "SourceFolder=/new\r\nMasterFolder=\r\nDestFolder=\r\nSyncSub=1\r\n"
            "CreateSub=1\r\nMask=*.*\r\nflSize=1\r\nflAttr=0\r\nflReadOnly=0\r\n"
            "flHidden=0\r\nflArchive=0\r\nflSystem=0\r\nflCompressed=0\r\n\r\n"
            "[Tail]\r\nx=1\r\n");
}

TEST_F(MainFormSettingsTest, ValuesThatAreNotUtf8SurviveASave) {
  if (OnWindows())
    GTEST_SKIP() << "Windows reads such a value through the ANSI code page, as valid text";
  const std::string latin1 = "/data/caf\xE9";
  WriteFile("job.bfs", "[Main]\nSourceFolder=" + latin1 + "\nMasterFolder=" + latin1 + "\n");
  Open({PathOf("job.bfs")});
  EXPECT_EQ(Text(ControlId::meSource), "/data/caf\xEF\xBF\xBD");  // as a toolkit shows it
  Edit(ControlId::meMaster, "/typed/\xD0\xBA\xD0\xB0\xD1\x82");   // an edited value: as typed
  Click(ControlId::btExit);
  const std::vector<std::string> lines = LinesOf("job.bfs");
  EXPECT_EQ(lines.at(1), "SourceFolder=" + latin1);
  EXPECT_EQ(lines.at(2), "MasterFolder=/typed/\xD0\xBA\xD0\xB0\xD1\x82");
}

TEST_F(MainFormSettingsTest, UnwritableFileEndsTheSaveWithAnErrorBoxAndNothingRuns) {
  MakeFolder("src");
  WriteFile("src/a.txt", "a");
  MakeFolder("master");
  const std::string read_only =
      WriteFile("read-only.bfs", "[Main]\nSourceFolder=" + PathOf("src") +
                                     "\nMasterFolder=" + PathOf("master") + "\n");
  std::filesystem::permissions(read_only, std::filesystem::perms::owner_read |
                                              std::filesystem::perms::group_read |
                                              std::filesystem::perms::others_read);
  const std::string content = ReadFile("read-only.bfs");
  const std::string folder = PathOf("");
  const struct {
    std::vector<std::string> parameters;
    bool clear_field;
    ControlId button;
    std::string message;
  } rows[] = {
      // No file chosen: the empty path is refused; its message ends in a blank, no full stop.
      {{}, false, ControlId::btExit, "Unable to write to "},
      {{}, false, ControlId::btStart, "Unable to write to "},
      {{folder}, false, ControlId::btExit, "Unable to write to " + folder + "."},
      {{PathOf("none/x.bfs")},
       false,
       ControlId::btStart,
       "Unable to write to " + PathOf("none/x.bfs") + "."},
      {{read_only}, false, ControlId::btStart, "Unable to write to " + read_only + "."},
      // A cleared field names the program folder itself.
      {{PathOf("job.bfs")}, true, ControlId::btExit, "Unable to write to " + folder + Root() + "."},
  };
  for (const auto& row : rows) {
    view_ = FakeView();
    dialogs_.calls.clear();
    Open(row.parameters);
    if (row.clear_field)
      Edit(ControlId::cbINI, "");
    Edit(ControlId::meDest, PathOf("dest"));
    Click(row.button);
    EXPECT_THAT(dialogs_.calls, ElementsAre("error Parlowin | " + row.message));
    EXPECT_FALSE(view_.closed);
    EXPECT_THAT(view_.run_log, ElementsAre());
  }
  EXPECT_EQ(ReadFile("read-only.bfs"), content);
  EXPECT_FALSE(std::filesystem::exists(PathOf("master/a.txt")));
  EXPECT_FALSE(std::filesystem::exists(PathOf("dest")));
}

}  // namespace
}  // namespace form_tests
