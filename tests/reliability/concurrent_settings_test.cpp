// Two programs saving all fourteen keys of one settings file 1,000 times each while a third
// reads it in a loop: every read sees a whole file, every key one of the values written.
#include <iostream>
#include <regex>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/ini_text.h"
#include "engine/load_options.h"
#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

constexpr const char* kKeys[] = {"SourceFolder", "MasterFolder", "DestFolder", "SyncSub",
                                 "CreateSub",    "Mask",         "flSize",     "flDate",
                                 "flAttr",       "flReadOnly",   "flHidden",   "flArchive",
                                 "flSystem",     "flCompressed"};

// The values a key may hold: the first file's, or one a writer wrote.
bool Allowed(const std::string& key, const std::string& value) {
  static const std::regex kWritten("(one|two)-([0-9]{1,3})");
  std::smatch m;
  if (key == "SourceFolder" || key == "MasterFolder" || key == "DestFolder") {
    const std::string tail = "/" + key;
    if (value == "/first" + tail)
      return true;
    if (value.size() < tail.size() + 1 ||
        value.compare(value.size() - tail.size(), tail.size(), tail) != 0)
      return false;
    const std::string stamp = value.substr(1, value.size() - 1 - tail.size());
    return std::regex_match(stamp, m, kWritten);
  }
  if (key == "Mask") {
    const std::string stamp = value.substr(std::min<size_t>(2, value.size()));
    return value == "*.*" || (value.rfind("*.", 0) == 0 && std::regex_match(stamp, m, kWritten));
  }
  return value == "0" || value == "1";
}

class ConcurrentSettingsTest : public ReliabilityTest {};

TEST_F(ConcurrentSettingsTest, ReadersSeeWholeFilesWhileTwoProgramsSaveEveryKey) {
  MoveIntoRam("16m");
  std::string first = "[Main]\n";
  for (const char* key : kKeys) {
    const std::string k = key;
    first += k + "=" +
             (k.find("Folder") != std::string::npos ? "/first/" + k
              : k == "Mask"                         ? std::string("*.*")
                                                    : std::string("1")) +
             "\n";
  }
  const std::string path = WriteFile("job.bfs", first);

  Process one({SETTINGS_SAVER_PATH, path, "one", "1000"}, PathOf(), OutputKind::kPipe);
  Process two({SETTINGS_SAVER_PATH, path, "two", "1000"}, PathOf(), OutputKind::kPipe);
  int reads = 0, whole_options = 0;
  bool one_running = true, two_running = true;
  while (one_running || two_running) {
    std::string text;
    ASSERT_TRUE(platform::DefaultFileSystem().ReadText(path, &text).ok());
    ++reads;
    std::istringstream lines(text);
    std::string line;
    ASSERT_TRUE(std::getline(lines, line) && line == "[Main]") << text;
    for (const char* key : kKeys) {
      ASSERT_TRUE(std::getline(lines, line)) << "a line is missing: " << text;
      const std::string prefix = std::string(key) + "=";
      ASSERT_EQ(line.rfind(prefix, 0), 0u) << text;
      const std::string value = line.substr(prefix.size());
      ASSERT_TRUE(Allowed(key, value)) << key << "=" << value;
      ASSERT_EQ(engine::FindIniValue(text, "Main", key), value);
    }
    ASSERT_FALSE(std::getline(lines, line)) << "more than fourteen keys: " << text;
    ASSERT_EQ(text.back(), '\n');
    // The reader of a run, one access per key, in between.
    if (reads % 16 == 0) {
      engine::TOptionSync options;
      engine::LoadOptions(path, options);
      ASSERT_TRUE(Allowed("SourceFolder", options.SourceFolder)) << options.SourceFolder;
      ASSERT_TRUE(Allowed("Mask", options.Mask)) << options.Mask;
      ++whole_options;
    }
    one_running = one_running && one.Read(0);
    two_running = two_running && two.Read(0);
  }
  const Ended one_ended = one.Wait(), two_ended = two.Wait();
  EXPECT_EQ(one_ended.exit_code, 0) << one.err();
  EXPECT_EQ(two_ended.exit_code, 0) << two.err();
  EXPECT_THAT(ReadTree(PathOf()).temporaries, ::testing::IsEmpty());
  EXPECT_GT(reads, 100);
  std::cout << "[ figures  ] settings: 2 x 1000 saves of 14 keys, " << reads << " whole reads and "
            << whole_options << " option loads, all whole\n";
}

}  // namespace
}  // namespace reliability
