// Targets that are one folder under two names: a destination that is the source folder itself
// (through a link, "src/." or "src//"), the master as the source, a destination listed twice
// and a destination that is the master spelled another way. The source is never written, a
// target that is the source is named once on standard error and gets nothing, every other
// folder receives each file once, and the output keeps a line per file and listed target.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

class SameFolderTest;

struct SameFolderCase {
  const char* name;
  std::function<void(SameFolderTest&)> prepare;
  // Folders as written in the settings, with {root} and {src} filled in.
  std::vector<std::string> destinations;
  std::string master;
  std::vector<std::string> filled;  // folders (relative) that must end up equal to the source
  int copies;                       // copies made by the first run: each file once per folder
  std::vector<std::string> errors;  // standard error of every run, without "parlocon: "
};

void PrintTo(const SameFolderCase& c, std::ostream* os) {
  *os << c.name;
}

// The source's two files, a subfolder's first, as the scan lists them.
const char* const kFiles[] = {"/sub/a.txt", "/top.txt"};

class SameFolderTest : public ReliabilityTest,
                       public ::testing::WithParamInterface<SameFolderCase> {
 public:
  using ReliabilityTest::MakeFolder;
  using ReliabilityTest::PathOf;

  void Link(const std::string& relative, const std::string& to) {
    std::filesystem::create_directory_symlink(PathOf(to), PathOf(relative));
  }

  // Inode and change time of every source file: a copy onto itself would give new ones.
  std::map<std::string, std::pair<ino_t, int64_t>> SourceInodes() const {
    std::map<std::string, std::pair<ino_t, int64_t>> inodes;
    for (const char* file : kFiles) {
      struct stat st {};
      stat((PathOf("src") + file).c_str(), &st);
      inodes[file] = {st.st_ino, int64_t{st.st_ctim.tv_sec} * 1000000000 + st.st_ctim.tv_nsec};
    }
    return inodes;
  }
};

TEST_P(SameFolderTest, ServesEachFolderOnceAndNeverTheSource) {
  const SameFolderCase& c = GetParam();
  MakeFolder("src/sub");
  PutFile(PathOf("src/top.txt"), "top", kBaseTimeNs);
  PutFile(PathOf("src/sub/a.txt"), "a", kBaseTimeNs + kSecondNs);
  c.prepare(*this);
  std::vector<std::string> destinations;
  for (const std::string& d : c.destinations) destinations.push_back(FillPaths(d));
  const std::string settings = WriteSettings(PathOf("src"), FillPaths(c.master), destinations);
  const Tree source = ReadTree(PathOf("src"));
  const auto inodes = SourceInodes();
  std::string expected_err;
  for (const std::string& error : c.errors) expected_err += "parlocon: " + FillPaths(error) + "\n";
  const int exit_code = c.errors.empty() ? 0 : 3;

  // A dry run first, then two runs: the dry run and the first run find the same to do.
  for (int run_number = 0; run_number <= 2; ++run_number) {
    SCOPED_TRACE(run_number == 0 ? "dry run" : "run " + std::to_string(run_number));
    const bool dry = run_number == 0;
    std::string out, err;
    Ended ended = RunToEnd(dry ? std::vector<std::string>{PARLOCON_PATH, "-n", "--stats", settings}
                               : std::vector<std::string>{PARLOCON_PATH, "--stats", settings},
                           PathOf(), &out, &err);

    // Every listed target keeps its lines, also one that receives nothing.
    std::string expected_out = "Get list of files...\r\n";
    const bool listed = run_number <= 1 && c.copies > 0;
    for (size_t t = 0; listed && t <= destinations.size(); ++t) {
      for (const char* file : kFiles) expected_out += "Copy " + PathOf("src") + file + "\r\n";
    }
    EXPECT_EQ(out, expected_out);
    const size_t stats = err.rfind("parlocon: files listed");
    ASSERT_NE(stats, std::string::npos) << err;
    EXPECT_EQ(err.substr(0, stats), expected_err);
    EXPECT_THAT(err.substr(stats),
                ::testing::HasSubstr((dry ? ", copies to make " : ", copies made ") +
                                     std::to_string(run_number <= 1 ? c.copies : 0) + ", "));
    EXPECT_EQ(ended.exit_code, exit_code);

    EXPECT_EQ(SourceInodes(), inodes);
    EXPECT_THAT(Differences(source, ReadTree(PathOf("src"))), ::testing::IsEmpty());
    for (const std::string& folder : dry ? std::vector<std::string>() : c.filled) {
      EXPECT_THAT(Differences(source, ReadTree(PathOf(folder))), ::testing::IsEmpty()) << folder;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Folders, SameFolderTest,
    ::testing::Values(
        SameFolderCase{"DestinationIsALinkToTheSource",
                       [](SameFolderTest& f) { f.Link("link", "src"); },
                       {"{root}/link", "{root}/dest1"},
                       "{root}/master",
                       {"dest1", "master"},
                       4,
                       {"destination {root}/link is the source folder {src} itself: nothing is "
                        "copied into it"}},
        SameFolderCase{"DestinationIsTheSourceSpelledWithDotAndDoubleSlash",
                       [](SameFolderTest&) {},
                       {"{src}/.", "{root}/dest1", "{src}//"},
                       "{root}/master",
                       {"dest1", "master"},
                       4,
                       {"destination {src}/. is the source folder {src} itself: nothing is "
                        "copied into it",
                        "destination {src}// is the source folder {src} itself: nothing is "
                        "copied into it"}},
        // Every file compares equal to its own master copy, so nothing is listed at all.
        SameFolderCase{"MasterIsTheSource",
                       [](SameFolderTest& f) { f.Link("master-link", "src"); },
                       {"{root}/dest1"},
                       "{root}/master-link",
                       {},
                       0,
                       {"master folder {root}/master-link is the source folder {src} itself: "
                        "every file compares equal to itself and nothing is copied"}},
        SameFolderCase{"DestinationListedTwice",
                       [](SameFolderTest& f) {
                         f.MakeFolder("dest1");
                         f.Link("dest1-link", "dest1");
                       },
                       {"{root}/dest1", "{root}/dest2", "{root}/dest1-link", "{root}/dest1"},
                       "{root}/master",
                       {"dest1", "dest2", "master"},
                       6,
                       {}},
        // Only the folder pass makes it, so only a second look tells the two names apart.
        SameFolderCase{"DestinationListedTwiceThatTheRunMakes",
                       [](SameFolderTest&) {},
                       {"{root}/new", "{root}/new//", "{root}/new/."},
                       "{root}/master",
                       {"new", "master"},
                       4,
                       {}},
        SameFolderCase{"DestinationIsTheMasterSpelledAnotherWay",
                       [](SameFolderTest& f) { f.MakeFolder("master"); },
                       {"{root}/master/.", "{root}/dest1"},
                       "{root}/master",
                       {"dest1", "master"},
                       4,
                       {}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace reliability
