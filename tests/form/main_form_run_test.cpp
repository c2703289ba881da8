// Start: the save, a real run over a temporary tree with the bottom strip as its progress
// display, and the boxes after a run that failed.
#include <filesystem>
#include <new>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/platform/forwarding_file_system.h"
#include "tests/form/form_test.h"

namespace form_tests {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using ControlId = form::ControlId;

// The real file system, except that listing a folder runs out of memory.
class ExhaustedFileSystem : public platform::ForwardingFileSystem {
 public:
  ExhaustedFileSystem() : ForwardingFileSystem(platform::DefaultFileSystem()) {}
  platform::IoResult ListFolder(const std::string&, const std::string&, bool,
                                platform::FolderListing*) override {
    throw std::bad_alloc();
  }
};

class MainFormRunTest : public FormTest {
 protected:
  // A job over src (a.txt, sub/b.txt) into dest and master, the folders typed, not saved yet.
  void OpenJob(const std::string& dest) {
    WriteFile("src/a.txt", "alpha");
    WriteFile("src/sub/b.txt", "beta");
    MakeFolder("master");
    Open({PathOf("job.bfs")});
    Edit(ControlId::meSource, PathOf("src"));
    Edit(ControlId::meMaster, PathOf("master"));
    Edit(ControlId::meDest, dest);
  }
};

// The keys the window does not show stay in the file as they were, and a run from the window
// follows them as parlocon does.
TEST_F(MainFormRunTest, KeysTheWindowDoesNotShowSurviveTheSaveAndSteerTheRun) {
  const std::string kept =
      "exclude = sub\r\nTimeTolerance=2\r\nIgnoreHourShift=1\r\nRetries=$2\r\nRetryWait=0\r\n";
  WriteFile("job.bfs", "[Main]\r\n" + kept + "Mask=*.*\r\n");
  MakeFolder("dest");
  OpenJob(PathOf("dest"));
  Click(ControlId::btStart);

  const std::string saved = ReadFile("job.bfs");
  EXPECT_EQ(saved.substr(0, 8 + kept.size()), "[Main]\r\n" + kept);
  EXPECT_EQ(LinesOf("job.bfs").size(), 20u) << "the five lines and the fourteen keys";
  EXPECT_TRUE(std::filesystem::exists(PathOf("master/a.txt")));
  EXPECT_FALSE(std::filesystem::exists(PathOf("dest/sub"))) << "an excluded folder was made";
  EXPECT_FALSE(std::filesystem::exists(PathOf("master/sub")));
  EXPECT_THAT(dialogs_.calls, ElementsAre());
}

TEST_F(MainFormRunTest, StartSavesThenRunsWithTheStatusLineAndGauge) {
  MakeFolder("dest");
  OpenJob(PathOf("dest"));
  Click(ControlId::btStart);

  // The edits were saved first, so the run used them.
  EXPECT_EQ(LinesOf("job.bfs").at(2), "MasterFolder=" + PathOf("master"));
  for (const char* copy : {"dest/a.txt", "dest/sub/b.txt", "master/a.txt", "master/sub/b.txt"}) {
    EXPECT_TRUE(std::filesystem::exists(PathOf(copy))) << copy;
  }
  EXPECT_EQ(ReadFile("master/sub/b.txt"), "beta");
  EXPECT_THAT(dialogs_.calls, ElementsAre());
  EXPECT_FALSE(view_.closed);

  // The gauge starts at 0 of the last run's maximum; the status line's first text is the
  // scan's. The listing's order is the file system's, so either file may come first.
  const std::string a = "status Copy " + PathOf("src") + Root() + "a.txt";
  const std::string b = "status Copy " + PathOf("src") + Root() + "sub" + Root() + "b.txt";
  const auto& log = view_.run_log;
  ASSERT_EQ(log.size(), 12u);
  const std::string& first = log[4];
  const std::string& second = first == a ? b : a;
  EXPECT_THAT(
      log, ElementsAre("shown", "percent 0", "status Get list of files...", "percent 25", first,
                       "percent 50", second, "percent 75", first, "percent 100", second, "hidden"));

  // A second run finds nothing changed; the gauge starts again from 0.
  view_.run_log.clear();
  Click(ControlId::btStart);
  EXPECT_THAT(view_.run_log,
              ElementsAre("shown", "percent 0", "status Get list of files...", "hidden"));
}

TEST_F(MainFormRunTest, FailuresOfTheRunAreShownAfterIt) {
  const std::string blocked = WriteFile("plain-file", "not a folder") + Root() + "dest";
  OpenJob(blocked);
  Click(ControlId::btStart);
  ASSERT_EQ(dialogs_.calls.size(), 1u);
  EXPECT_THAT(dialogs_.calls[0], StartsWith("warning Parlowin | "));
  EXPECT_THAT(dialogs_.calls[0], HasSubstr(" operations of the run failed. The first:\n"));
  EXPECT_THAT(dialogs_.calls[0], HasSubstr(PathOf("plain-file")));
  // Held back from the master, so the next run tries again.
  EXPECT_FALSE(std::filesystem::exists(PathOf("master/a.txt")));
  EXPECT_EQ(view_.run_log.back(), "hidden");
}

TEST_F(MainFormRunTest, EmptySourceIsNoSilentSuccess) {
  Open({PathOf("job.bfs")});
  Click(ControlId::btStart);
  ASSERT_EQ(dialogs_.calls.size(), 1u);
  EXPECT_THAT(dialogs_.calls[0], StartsWith("warning Parlowin | 1 operation of the run failed:"));
}

TEST_F(MainFormRunTest, FailureThatLeavesTheRunShowsTheErrorBox) {
  ExhaustedFileSystem fs;
  form::FormContext context = Context({PathOf("job.bfs")});
  context.file_system = &fs;
  Open(context);
  MakeFolder("src");
  Edit(ControlId::meSource, PathOf("src"));
  Click(ControlId::btStart);
  EXPECT_THAT(dialogs_.calls, ElementsAre("error Parlowin | Out of memory."));
  // The run did not finish: its display stays until the next run ends.
  EXPECT_THAT(view_.run_log, ElementsAre("shown", "percent 0", "status Get list of files..."));
}

}  // namespace
}  // namespace form_tests
