// The engine's own mask matcher (used where the system has no wildcard search) against the
// system's FindFirstFileA, which the Windows scan uses. The names are all valid 8.3 names, so
// the system cannot match a generated short name instead of the name itself.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/platform/file_system.h"
#include "engine/wildcard.h"
#include "tests/support/temp_dir_test.h"

namespace {

const std::vector<std::string> kNames = {
    "a",      "A.TXT",    "b.txt",    "ab.txt", "abc.TxT", "abc", "noext", "x.t",
    "x.tx",   "x.txt",    "x.doc",    "readme", "READ.ME", "a.b", "ab.c",  "abc.def",
    "zz9.7z", "12345678", "1234.567", "mix.Ab", "a-b_c.d", "q",   "tt.tt", "data.bin"};

const std::vector<std::string> kMasks = {
    "*",     "*.*",  "*.txt", "*.TXT", "a*",    "A*.*",     "?",   "??",    "???",
    "?.txt", "??.*", "a?c",   "a?c.*", "*a*",   "*b*c*",    "a.*", "abc.*", "x.t*",
    "*.t?t", "*.??", "*.?",   "*.*.*", "*t",    "*.t",      "q",   "READ*", "read.me",
    "*1*",   "*?",   "?*",    "**",    "*.*?",  "1234*.5*", "*_*", "*-*",   "data.*",
    ".*",    "*.",   "a.",    "abc.",  "*.*.*", "a.*.*",    "?.?", "x.???", "????????.???"};

// Deliberate differences, where the engine keeps to its rules ("*" any run, "?" exactly one
// character, a name matched as written):
// - "*?" and "*.*?": Wine's search finds no name at all.
// - A mask ending in a dot: Windows drops trailing dots from a name it looks for, so "a." finds
//   "a" and "*." every name; on Linux a name may end in a dot, and the engine matches the dot.
const std::set<std::string> kDifferent = {"*?", "*.*?", "*.", "a.", "abc."};

class WildcardDifferentialTest : public testing_support::TempDirTest {};

TEST_F(WildcardDifferentialTest, EngineMatcherAgreesWithTheSystemSearch) {
  for (const std::string& name : kNames) WriteFile(name, "x");
  platform::FileSystem& system = platform::DefaultFileSystem();
  for (const std::string& mask : kMasks) {
    if (kDifferent.count(mask) != 0)
      continue;
    platform::FolderListing listing;
    ASSERT_TRUE(system.ListFolder(PathOf(), mask, false, &listing).ok()) << mask;
    std::set<std::string> theirs;
    for (const engine::FileEntry& entry : listing.files) theirs.insert(entry.Name);
    std::set<std::string> ours;
    for (const std::string& name : kNames) {
      if (engine::MatchesMask(mask, name))
        ours.insert(name);
    }
    EXPECT_EQ(ours, theirs) << "mask \"" << mask << "\"";
  }
}

}  // namespace
