#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/sync_run.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_dir_test.h"

namespace {

using ::testing::ElementsAre;
using testing_support::RecordingSink;

class RunSyncTest : public testing_support::TempDirTest {
 protected:
  std::string Settings(const std::string& body) { return WriteFile("job.bfs", "[Main]\n" + body); }
};

TEST_F(RunSyncTest, CopiesSubfolderFilesFirstToEachTargetMasterLast) {
  WriteFile("src/a.txt", "a");
  WriteFile("src/sub/b.txt", "b");
  MakeFolder("master");
  std::string settings = Settings("SourceFolder=" + PathOf("src") + "\nMasterFolder=" +
                                  PathOf("master") + "\nDestFolder=" + PathOf("dest") + "\n");
  RecordingSink sink;

  engine::RunSync(settings, sink);

  const std::string a = PathOf("src") + "/a.txt", b = PathOf("src") + "/sub/b.txt";
  EXPECT_THAT(engine::SubFolders, ElementsAre("/sub"));
  EXPECT_THAT(sink.events, ElementsAre("Start", "Status Get list of files...", "Total 4", "Step",
                                       "Status Copy " + b, "Step", "Status Copy " + a, "Step",
                                       "Status Copy " + b, "Step", "Status Copy " + a, "Finish"));
  EXPECT_TRUE(sink.failures.empty());
  EXPECT_EQ(ReadFile("dest/sub/b.txt"), "b");
  EXPECT_EQ(ReadFile("master/a.txt"), "a");

  RecordingSink again;
  engine::RunSync(settings, again);
  EXPECT_THAT(again.events,
              ElementsAre("Start", "Status Get list of files...", "Total 0", "Finish"));
}

}  // namespace
