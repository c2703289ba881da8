// The folder fields' dialogs with "+", and the settings-file dialog.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/form/form_test.h"

namespace form_tests {
namespace {

using ::testing::ElementsAre;
using ControlId = form::ControlId;

using MainFormDialogsTest = FormTest;

TEST_F(MainFormDialogsTest, FolderDialogStartsAtTheFieldsFolderOrTheRoot) {
  MakeFolder("a");
  const struct {
    std::string text;
    std::string start;
  } rows[] = {
      {"", PathOf("")},  // empty: the program folder
      {PathOf("a"), PathOf("a")},
      {PathOf("none"), Root()},
      {PathOf("a") + ";" + PathOf("a"), Root()},  // a list names no folder
  };
  for (ControlId field : {ControlId::meSource, ControlId::meMaster, ControlId::meDest}) {
    for (const auto& row : rows) {
      view_ = FakeView();
      dialogs_.calls.clear();
      Open();
      Edit(ControlId::meSource, "/s");  // not empty: the dialogs fill no other field
      Edit(ControlId::meMaster, "/m");
      Edit(ControlId::meDest, "/d");
      Edit(field, row.text);
      Browse(field);
      EXPECT_THAT(dialogs_.calls, ElementsAre("folder " + row.start)) << row.text;
      EXPECT_EQ(view_.focus, field);     // given back to the field
      EXPECT_EQ(Text(field), row.text);  // cancelled
    }
  }
}

TEST_F(MainFormDialogsTest, ChosenFolderFillsTheFieldAndBecomesItsStart) {
  MakeFolder("chosen");
  Open();
  dialogs_.folder_answers = {PathOf("chosen")};
  Browse(ControlId::meSource);
  EXPECT_EQ(Text(ControlId::meSource), PathOf("chosen"));
  Edit(ControlId::meSource, "");
  Browse(ControlId::meSource);
  EXPECT_EQ(dialogs_.calls.back(), "folder " + PathOf("chosen"));
}

TEST_F(MainFormDialogsTest, MasterDialogFillsAnEmptyDestinationEvenWhenCancelled) {
  Open();
  Browse(ControlId::meMaster);  // cancelled
  EXPECT_EQ(Text(ControlId::meMaster), "");
  EXPECT_EQ(Text(ControlId::meDest), PathOf(""));

  MakeFolder("e");
  Edit(ControlId::meDest, "/kept");
  dialogs_.folder_answers = {PathOf("e")};
  Browse(ControlId::meMaster);
  EXPECT_EQ(Text(ControlId::meMaster), PathOf("e"));
  EXPECT_EQ(Text(ControlId::meDest), "/kept");
}

TEST_F(MainFormDialogsTest, PlusAppendsTheChosenFolderToTheList) {
  MakeFolder("d");
  MakeFolder("e");
  MakeFolder("f");
  const std::string d = PathOf("d"), e = PathOf("e"), f = PathOf("f");
  Open();
  Edit(ControlId::meDest, d);
  Edit(ControlId::meMaster, "/m");
  dialogs_.folder_answers = {e};
  Click(ControlId::SpeedButton6);
  EXPECT_EQ(Text(ControlId::meDest), d + ";" + e);
  EXPECT_EQ(view_.focus, ControlId::meDest);
  // The list names no folder, so the field's start stays where it was; appending ends with
  // the dialog, so the next one replaces.
  Edit(ControlId::meDest, "");
  dialogs_.folder_answers = {f};
  Browse(ControlId::meDest);
  EXPECT_EQ(dialogs_.calls.back(), "folder " + PathOf(""));
  EXPECT_EQ(Text(ControlId::meDest), f);

  // "+" then Cancel keeps the list and ends appending.
  Click(ControlId::SpeedButton6);
  EXPECT_EQ(Text(ControlId::meDest), f);
  dialogs_.folder_answers = {d};
  Browse(ControlId::meDest);
  EXPECT_EQ(Text(ControlId::meDest), d);
}

TEST_F(MainFormDialogsTest, PlusOnAnEmptyListFillsItAndTheNextDialogAppends) {
  MakeFolder("e");
  MakeFolder("f");
  const std::string e = PathOf("e"), f = PathOf("f");
  Open();
  dialogs_.folder_answers = {e, f};
  Click(ControlId::SpeedButton6);
  EXPECT_EQ(Text(ControlId::meDest), e);
  EXPECT_EQ(Text(ControlId::meMaster), e);
  Browse(ControlId::meDest);  // its own button, still appending
  EXPECT_EQ(Text(ControlId::meDest), e + ";" + f);
}

TEST_F(MainFormDialogsTest, ChosenSettingsFileWithABlankIsQuotedAndLoaded) {
  const std::string path = WriteFile("My Sync/b.bfs", "[Main]\nSourceFolder=/from-b\n");
  Open();
  dialogs_.file_answers = {PathOf("My Sync/b.bfs")};
  Browse(ControlId::cbINI);
  EXPECT_EQ(Text(ControlId::cbINI), '"' + PathOf("My Sync/b.bfs") + '"');
  EXPECT_EQ(Text(ControlId::meSource), "/from-b");
  EXPECT_EQ(view_.focus, ControlId::cbINI);
  // The settings path has no quotes: Exit writes to the file itself.
  Edit(ControlId::meSource, "/edited");
  Click(ControlId::btExit);
  EXPECT_EQ(LinesOf("My Sync/b.bfs").at(1), "SourceFolder=/edited");

  // The next dialog starts in the chosen file's folder with its name.
  Browse(ControlId::cbINI);
  EXPECT_EQ(dialogs_.calls.back(), "file " + PathOf("My Sync") + Root() + " | b.bfs");
}

TEST_F(MainFormDialogsTest, CancelledSettingsDialogRestoresTheControlsFromTheFile) {
  const std::string path = WriteFile("job.bfs", "[Main]\nSourceFolder=/s\nflAttr=1\n");
  Open({path});
  Edit(ControlId::meSource, "/unsaved");
  Click(ControlId::chAttr);
  Browse(ControlId::cbINI);  // cancelled
  EXPECT_EQ(Text(ControlId::meSource), "/s");
  EXPECT_TRUE(view_.Checked(ControlId::chAttr));
  EXPECT_TRUE(view_.Enabled(ControlId::chHidden));
  EXPECT_EQ(Text(ControlId::cbINI), path);
}

TEST_F(MainFormDialogsTest, NewSettingsNameLoadsDefaultsAndExitCreatesTheFile) {
  WriteFile("old.bfs", "[Main]\nSourceFolder=/old\n");
  Open({PathOf("old.bfs")});
  dialogs_.file_answers = {PathOf("new.bfs")};
  Browse(ControlId::cbINI);
  EXPECT_EQ(Text(ControlId::meSource), "");
  Click(ControlId::btExit);
  EXPECT_THAT(LinesOf("new.bfs"), testing::IsSupersetOf({"[Main]", "SourceFolder="}));
  EXPECT_EQ(LinesOf("new.bfs").size(), 15u);
}

TEST_F(MainFormDialogsTest, SettingsDialogStartsFromTheFieldsText) {
  WriteFile("sub/a.bfs", "");
  MakeFolder("My Sync");
  const std::string none = Root() + "none" + Root() + "x.bfs";
  const struct {
    std::string text;
    std::string request;
  } rows[] = {
      {PathOf("sub/a.bfs"), "file " + PathOf("sub") + Root() + " | a.bfs"},
      {'"' + PathOf("My Sync/n.bfs") + '"', "file " + PathOf("My Sync") + Root() + " | n.bfs"},
      {none, "file  | x.bfs"},  // a missing folder: the name only
      {PathOf("sub") + Root(), "file " + PathOf("sub") + Root() + " | "},  // a folder: no name
      {PathOf("a|b.bfs"), "file  | "},                                     // a bar: nothing preset
  };
  for (const auto& row : rows) {
    view_ = FakeView();
    dialogs_.calls.clear();
    Open();
    Edit(ControlId::cbINI, row.text);
    Browse(ControlId::cbINI);
    EXPECT_THAT(dialogs_.calls, ElementsAre(row.request)) << row.text;
  }
}

}  // namespace
}  // namespace form_tests
