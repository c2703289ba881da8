#include <array>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "engine/load_options.h"
#include "engine/settings_file.h"
#include "tests/support/temp_dir_test.h"

namespace {

constexpr std::array<const char*, 14> kKeys = {
    "SourceFolder", "MasterFolder", "DestFolder", "SyncSub",     "CreateSub",
    "Mask",         "flSize",       "flDate",     "flAttr",      "flReadOnly",
    "flHidden",     "flArchive",    "flSystem",   "flCompressed"};

// Random bytes seasoned with the pieces the reader looks for, so that sections, keys, quotes
// and line ends turn up far more often than in plain noise.
std::string RandomSettingsText(std::mt19937& random) {
  static const std::array<std::string, 16> kPieces = {
      "[Main]", "[main]", "[ Main ]", "[Other]", "\n", "\r\n",         "\r",
      "=",      "\"",     "'",        " ",       "\t", "\xEF\xBB\xBF", std::string(1, '\0'),
      "[",      ";"};
  std::string text;
  const int parts = std::uniform_int_distribution<int>(0, 60)(random);
  for (int i = 0; i < parts; ++i) {
    switch (std::uniform_int_distribution<int>(0, 3)(random)) {
      case 0:
        text += kPieces[random() % kPieces.size()];
        break;
      case 1:
        text += kKeys[random() % kKeys.size()];
        break;
      default:
        for (int n = std::uniform_int_distribution<int>(1, 8)(random); n > 0; --n) {
          text.push_back(static_cast<char>(random() & 0xFF));
        }
    }
  }
  return text;
}

// A value that the reader gives back exactly: no blanks at its ends, no line break, not quoted.
std::string RandomValue(std::mt19937& random) {
  static const std::string kChars = "abcXYZ019/;.*?[]= \"'\t$-";
  std::string value(std::uniform_int_distribution<size_t>(1, 40)(random), ' ');
  for (char& c : value) c = kChars[random() % kChars.size()];
  value.front() = 'v';
  value.back() = 'e';
  return value;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out.push_back(static_cast<char>(c));
    } else {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02X", c);
      out += code;
    }
  }
  return out;
}

class SettingsFuzzTest : public testing_support::TempDirTest {};

TEST_F(SettingsFuzzTest, RandomFilesNeverCrashAndAWrittenKeyReadsBack) {
  const std::string path = PathOf("fuzz.bfs");
  engine::SettingsFile file(path);
  for (uint32_t seed = 1; seed <= 1000; ++seed) {
    std::mt19937 random(seed);
    const std::string text = RandomSettingsText(random);
    WriteFile("fuzz.bfs", text);
    engine::TOptionSync options;
    engine::LoadOptions(path, options);

    std::array<std::string, kKeys.size()> before;
    for (size_t k = 0; k < kKeys.size(); ++k) before[k] = file.ReadText("Main", kKeys[k], "-");
    const size_t written = random() % kKeys.size();
    const std::string value = RandomValue(random);
    ASSERT_TRUE(file.WriteText("Main", kKeys[written], value).ok()) << seed;

    for (size_t k = 0; k < kKeys.size(); ++k) {
      const std::string expected = k == written ? value : before[k];
      ASSERT_EQ(file.ReadText("Main", kKeys[k], "-"), expected)
          << "seed " << seed << ", wrote " << kKeys[written] << "=" << value << " into\n"
          << Escaped(text) << "\nand got\n"
          << Escaped(ReadFile("fuzz.bfs"));
    }
  }
}

}  // namespace
