#include "engine/sync_paths.h"

#include <ostream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

struct SplitCase {
  std::string dest_folders;
  std::vector<std::string> targets;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
  *os << "'" << c.dest_folders << "'";
}

class SplitTargetsTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTargetsTest, SplitsAtSeparatorsTrimmingNothing) {
  EXPECT_EQ(engine::SplitTargets(GetParam().dest_folders), GetParam().targets)
      << "'" << GetParam().dest_folders << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Lists, SplitTargetsTest,
    testing::Values(SplitCase{"", {}}, SplitCase{"/a", {"/a"}}, SplitCase{"/a;/b", {"/a", "/b"}},
                    SplitCase{";/a", {"", "/a"}}, SplitCase{"/a;;/b;", {"/a", "", "/b"}},
                    SplitCase{"/a;", {"/a"}}, SplitCase{";", {""}}, SplitCase{";;", {"", ""}},
                    SplitCase{"/a; /b", {"/a", " /b"}}, SplitCase{" ", {" "}},
                    SplitCase{"/a ;/b", {"/a ", "/b"}}, SplitCase{"/a\r\n/b", {"/a", "/b"}},
                    SplitCase{"/a\n\n/b", {"/a", "", "/b"}}, SplitCase{"/a\r/b", {"/a", "/b"}}));

struct RelativeCase {
  std::string full_path;
  std::string source_folder;
  std::string relative;
};

void PrintTo(const RelativeCase& c, std::ostream* os) {
  *os << c.full_path << " in " << c.source_folder;
}

class RelativePathTest : public testing::TestWithParam<RelativeCase> {};

TEST_P(RelativePathTest, KeepsTheLeadingSeparator) {
  const RelativeCase& c = GetParam();
  EXPECT_EQ(engine::RelativePath(c.full_path, c.source_folder), c.relative);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RelativePathTest,
    testing::Values(RelativeCase{"/s/a.txt", "/s", "/a.txt"},
                    RelativeCase{"/s/sub/b.txt", "/s", "/sub/b.txt"},
                    // a source written with a trailing "/" gives "//" after it; the cut takes one
                    RelativeCase{"/s//a.txt", "/s/", "/a.txt"},
                    RelativeCase{"/s//sub", "/s/", "/sub"}, RelativeCase{"/s", "/s", ""},
                    RelativeCase{"rel/a", "rel", "/a"}, RelativeCase{"/x", "/longer", ""}));

}  // namespace
