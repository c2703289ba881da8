// A program installed for every user: where bare settings names, the folder dialogs and the
// support contact lead when the program folder is not the user's.
#include "form/program_folders.h"

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/platform/forwarding_file_system.h"
#include "engine/platform/path_rules.h"
#include "tests/form/form_test.h"

namespace form_tests {
namespace {

using ::testing::ElementsAre;
using ControlId = form::ControlId;

// The real file system, except that no new file may be made in one folder, as in /usr/bin
// for a user who is not root.
class ClosedFolderFileSystem : public platform::ForwardingFileSystem {
 public:
  explicit ClosedFolderFileSystem(std::string folder)
      : ForwardingFileSystem(platform::DefaultFileSystem()), folder_(std::move(folder)) {}
  platform::IoResult ProbeCopyFolder(const std::string& to) override {
    if (to.substr(0, platform::ParentLength(to)) != folder_ + platform::kPathSeparator)
      return inner_.ProbeCopyFolder(to);
    platform::IoResult refused;
    refused.os_code = 13;
    refused.message = "write into " + folder_ + ": Permission denied";
    return refused;
  }

 private:
  std::string folder_;
};

using ProgramFoldersTest = FormTest;

TEST(XdgSettingsFolderTest, ConfigHomeOrHomeWhenAbsolute) {
  const struct {
    const char* config_home;
    const char* home;
    const char* folder;
  } rows[] = {
      {"/cfg", "/home/u", "/cfg/parlowen"},
      {"/cfg/", "/home/u", "/cfg/parlowen"},
      {nullptr, "/home/u", "/home/u/.config/parlowen"},
      {"", "/home/u/", "/home/u/.config/parlowen"},
      {"relative", "/home/u", "/home/u/.config/parlowen"},  // not absolute: ignored
      {nullptr, "/", "/.config/parlowen"},
      {nullptr, nullptr, ""},
      {nullptr, "relative", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(form::XdgSettingsFolder(row.config_home, row.home), row.folder)
        << (row.config_home ? row.config_home : "(unset)") << " " << (row.home ? row.home : "");
  }
}

TEST_F(ProgramFoldersTest, ClosedProgramFolderGivesWayToTheUsersFolder) {
  ClosedFolderFileSystem fs(PathOf("bin"));
  MakeFolder("bin");
  form::FormContext context = Context();
  context.program_folder = PathOf("bin");
  context.user_folder = PathOf("home/.config/parlowen");
  context.file_system = &fs;
  const std::string user = context.user_folder;
  Open(context);
  EXPECT_TRUE(std::filesystem::is_directory(user));  // made at start

  // A bare name is the user's file, and saving it works.
  Type(ControlId::cbINI, "job.bfs");
  Click(ControlId::btExit);
  EXPECT_TRUE(view_.closed);
  EXPECT_EQ(LinesOf("home/.config/parlowen/job.bfs").size(), 15u);
  // A cleared field names the user's folder.
  Edit(ControlId::cbINI, "");
  Click(ControlId::btStart);
  EXPECT_THAT(dialogs_.calls,
              ElementsAre("error Parlowin | Unable to write to " + user + Root() + "."));
  // The folder dialogs start there, and a cancelled master dialog fills the destination with it.
  dialogs_.calls.clear();
  Browse(ControlId::meSource);
  Browse(ControlId::meMaster);
  EXPECT_THAT(dialogs_.calls, ElementsAre("folder " + user, "folder " + user));
  EXPECT_EQ(Text(ControlId::meDest), user);
  EXPECT_THAT(ListTree("bin"), ElementsAre());
}

TEST_F(ProgramFoldersTest, SupportContactIsTheInstalledDocumentation) {
  const std::string installed = PathOf("usr/share/doc/parlowen/README.md");
  const std::string beside = PathOf("usr/bin/README.md");
  const struct {
    std::vector<std::string> files;
    std::string shown;
  } rows[] = {
      {{"usr/share/doc/parlowen/README.md", "usr/bin/README.md"}, installed},
      {{"usr/bin/README.md"}, beside},
      {{}, installed},  // where it belongs, though it is missing
  };
  for (const auto& row : rows) {
    std::filesystem::remove_all(PathOf("usr"));
    MakeFolder("usr/bin");
    for (const std::string& file : row.files) WriteFile(file, "# Parlowen\n");
    view_ = FakeView();
    dialogs_.calls.clear();
    form::FormContext context = Context();
    context.program_folder = PathOf("usr/bin");
    Open(context);
    EXPECT_EQ(Text(ControlId::Label9), row.shown);
    Click(ControlId::Label9);
    EXPECT_THAT(dialogs_.calls, ElementsAre("open " + row.shown));
  }
}

}  // namespace
}  // namespace form_tests
