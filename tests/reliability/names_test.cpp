// File names of every byte but "/" and NUL, names of 255 bytes, and a tree deeper than
// PATH_MAX: each file is copied exactly into every target, or its failure (or its folder's)
// is named on standard error with exit code 3. Never a crash, never a wrong file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

constexpr int kDeepLevels = 24;
const std::string kDeepName(200, 'd');

class NamesTest : public ReliabilityTest {
 protected:
  void MakeSource() {
    MakeFolder("src/bytes");
    int bytes = open(PathOf("src/bytes").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(bytes, 0);
    for (int b = 1; b < 256; ++b) {
      if (b == '/')
        continue;
      const std::string c(1, static_cast<char>(b));
      PutFileAt(bytes, "a" + c + "z", "inside " + c, kBaseTimeNs + b * kSecondNs);
      if (b != '.')
        PutFileAt(bytes, c, "alone " + c, kBaseTimeNs);
    }
    for (const char* name :
         {" lead", "trail ", "two  spaces", "\r\n", "tab\there", "\xc3\x28", "\xed\xa0\x80",
          "\xef\xbb\xbf"
          "bom",
          "-dash", "*.*", "?", ";", "[Main]", "=", "'quoted'", "\"quoted\"", "\\back\\slash"}) {
      PutFileAt(bytes, name, name, kBaseTimeNs);
    }
    ASSERT_EQ(mkdirat(bytes, "folder \r\n\x01\xff", 0755), 0);
    PutFile(PathOf("src/bytes/folder \r\n\x01\xff/inner"), "inner", kBaseTimeNs);
    close(bytes);

    const std::string long_a(255, 'n'), long_e(255, '\xe9'), long_folder(255, 'F');
    MakeFolder("src/long/" + long_folder);
    PutFile(PathOf("src/long/" + long_a), "255 bytes", kBaseTimeNs);
    PutFile(PathOf("src/long/" + long_e), "255 high bytes", kBaseTimeNs);
    PutFile(PathOf("src/long/" + long_folder + "/" + long_e), "255 and 255", kBaseTimeNs);

    // Deeper than PATH_MAX, built through open folders since no path can name the bottom.
    MakeFolder("src/deep");
    int folder = open(PathOf("src/deep").c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < kDeepLevels; ++level) {
      PutFileAt(folder, "f", "level " + std::to_string(level), kBaseTimeNs);
      ASSERT_EQ(mkdirat(folder, kDeepName.c_str(), 0755), 0);
      int next = openat(folder, kDeepName.c_str(), O_RDONLY | O_DIRECTORY);
      close(folder);
      folder = next;
    }
    close(folder);
  }
};

TEST_F(NamesTest, CopiesEveryNameExactlyOrReportsIt) {
  MakeSource();
  const std::string settings = WriteDefaultSettings();
  const Tree source = ReadTree(PathOf("src"));
  ASSERT_TRUE(source.complete);

  for (int run_number = 1; run_number <= 2; ++run_number) {
    RunResult run = Run(settings);
    ASSERT_EQ(run.ended.signal, 0);
    EXPECT_EQ(run.ended.exit_code, 3);

    std::vector<Tree> targets;
    for (const std::string& target : Targets()) targets.push_back(ReadTree(target));
    int copied = 0, reported = 0;
    for (const auto& [path, state] : source.files) {
      bool everywhere = true;
      for (const Tree& target : targets) {
        auto it = target.files.find(path);
        everywhere = everywhere && it != target.files.end() && it->second == state;
      }
      const std::string full = PathOf("src") + "/" + path;
      bool named = run.err.find("copy " + full + " -> ") != std::string::npos;
      for (size_t cut = full.rfind('/'); !named && cut > PathOf("src").size();
           cut = full.rfind('/', cut - 1)) {
        named = run.err.find("list " + full.substr(0, cut) + ": ") != std::string::npos;
      }
      EXPECT_TRUE(everywhere || named) << "neither copied nor reported: " << path;
      copied += everywhere;
      reported += !everywhere;
      // Whatever can be named within PATH_MAX in every target must arrive.
      EXPECT_TRUE(everywhere || full.size() + 16 >= PATH_MAX) << path;
      EXPECT_TRUE(named || full.size() < PATH_MAX) << path;
    }
    for (size_t t = 0; t < targets.size(); ++t) {
      EXPECT_THAT(targets[t].temporaries, ::testing::IsEmpty());
      for (const auto& [path, state] : targets[t].files) {
        EXPECT_TRUE(source.files.count(path)) << "a file the source does not have: " << path;
      }
    }
    EXPECT_GT(copied, 500);
    EXPECT_GT(reported, 0);
    if (run_number == 2) {
      std::cout << "[ figures  ] names: " << copied << " files copied exactly, " << reported
                << " beyond PATH_MAX reported\n";
    }
  }
}

}  // namespace
}  // namespace reliability
