// Names the Exclude key and the command line's masks leave out: files at every depth, and
// folders with everything below them, none of which is made in any target.
#include <algorithm>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/platform/dry_run_file_system.h"
#include "engine/sync_run.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/recording_sink.h"

namespace {

using ::testing::ElementsAreArray;
using testing_support::MemoryFileSystem;
using testing_support::Native;
using testing_support::RecordingSink;

struct ExcludeCase {
  const char* name;
  const char* keys;                      // lines added to [Main]
  std::vector<std::string> overrides;    // --exclude values
  std::vector<std::string> target_tree;  // what each target holds afterwards
};

void PrintTo(const ExcludeCase& c, std::ostream* os) {
  *os << c.name;
}

void MakeTree(MemoryFileSystem& fs, const std::string& keys) {
  for (const char* file : {"/s/a.txt", "/s/a.tmp", "/s/build/x.txt", "/s/build/deep/y.txt",
                           "/s/src/b.txt", "/s/src/B.TMP", "/s/src/cache/z.txt",
                           "/s/src/lib/build/w.txt", "/s/src/lib/c.txt", "/s/src/lib/cache"}) {
    fs.AddFile(Native(file), file);
  }
  fs.AddFolder(Native("/s/src/empty"));
  fs.AddFolder(Native("/d"));
  fs.AddFolder(Native("/m"));
  fs.AddFile(Native("/job.bfs"), "[Main]\nSourceFolder=" + Native("/s") + "\nMasterFolder=" +
                                     Native("/m") + "\nDestFolder=" + Native("/d") + "\n" + keys);
}

class ExcludeTest : public testing::TestWithParam<ExcludeCase> {};

TEST_P(ExcludeTest, LeavesOutMatchingFilesAndFoldersAtEveryDepth) {
  const ExcludeCase& c = GetParam();
  engine::OptionOverrides overrides;
  overrides.exclude = c.overrides;
  std::vector<std::vector<std::string>> said;
  for (bool dry : {true, false}) {
    MemoryFileSystem fs;
    MakeTree(fs, c.keys);
    platform::DryRunFileSystem dry_fs(fs);
    RecordingSink sink;
    engine::RunSync(dry ? static_cast<platform::FileSystem&>(dry_fs) : fs, Native("/job.bfs"),
                    overrides, sink);
    said.push_back(sink.events);
    EXPECT_THAT(sink.failures, testing::IsEmpty());
    if (dry) {
      EXPECT_THAT(fs.Log("mkdir"), testing::IsEmpty());
      EXPECT_THAT(fs.Log("copy"), testing::IsEmpty());
      continue;
    }
    for (const char* target : {"/d", "/m"}) {
      EXPECT_THAT(fs.Tree(Native(target)), ElementsAreArray(c.target_tree)) << target;
    }
    // Nothing below a left-out folder was even listed.
    const bool build_left_out =
        std::none_of(c.target_tree.begin(), c.target_tree.end(),
                     [](const std::string& entry) { return entry.find("build") == 0; });
    for (const std::string& listed : fs.Log("list")) {
      if (build_left_out) {
        EXPECT_THAT(listed, testing::Not(testing::HasSubstr("build")));
      }
    }
  }
  EXPECT_EQ(said[0], said[1]) << "the dry run says what the run says";
}

INSTANTIATE_TEST_SUITE_P(
    Masks, ExcludeTest,
    testing::Values(ExcludeCase{"KeyWithBlanksAndCaseFreeMasks",
                                "Exclude= *.tmp ; build;CACHE\n",
                                {},
                                {"a.txt", "src/", "src/b.txt", "src/empty/", "src/lib/",
                                 "src/lib/c.txt"}},
                    ExcludeCase{"OptionsAddToTheKey",
                                "Exclude=*.tmp\n",
                                {"build", "cache;empty"},
                                {"a.txt", "src/", "src/b.txt", "src/lib/", "src/lib/c.txt"}},
                    ExcludeCase{"OptionsWithoutTheKey", "", {"bu?ld", "src"}, {"a.tmp", "a.txt"}},
                    ExcludeCase{"DotStarMatchesEveryName", "Exclude=*.*\n", {}, {}},
                    ExcludeCase{"NoneWithoutKeyNorOption",
                                "Exclude= ; ;\n",
                                {},
                                {"a.tmp", "a.txt", "build/", "build/deep/", "build/deep/y.txt",
                                 "build/x.txt", "src/", "src/B.TMP", "src/b.txt", "src/cache/",
                                 "src/cache/z.txt", "src/empty/", "src/lib/", "src/lib/build/",
                                 "src/lib/build/w.txt", "src/lib/c.txt", "src/lib/cache"}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
