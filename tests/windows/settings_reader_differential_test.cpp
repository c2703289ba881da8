// The engine's own settings reader (used where the system has no profile functions) against
// the system's GetPrivateProfileStringA, on settings files generated here. Nothing is expected
// by hand: the two must give the same text for every key, or the difference must be one of
// the deliberate ones listed below.
#include <windows.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/ini_text.h"
#include "engine/platform/file_system.h"
#include "tests/support/temp_dir_test.h"

namespace {

// Deliberate differences:
// - A value cut at the limit: Wine's lookup fills the buffer of 2048 characters one character
//   short (2046); the engine keeps 2047, as the buffer holds and Windows documents. Such values
//   are compared on their first 2046 characters.
// - A file that begins with a UTF-8 byte-order mark is read by the system as UTF-8 and handed
//   back in the ANSI code page, so letters beyond ASCII change; the engine hands back the bytes
//   as they stand, as it does for every other file. Files with a mark hold ASCII values only.
// - A NUL byte ends the system's reading of a line; the engine keeps it. Files hold no NUL.

constexpr char kDefault[] = "<no such key>";

const std::vector<std::string> kKeys = {
    "SourceFolder", "MasterFolder", "DestFolder", "SyncSub",    "CreateSub", "Mask",
    "flSize",       "flDate",       "flAttr",     "flReadOnly", "flHidden",  "flArchive",
    "flSystem",     "flCompressed", ";Mask",      "Sync Sub",   "#flDate"};

std::string Spelled(std::mt19937& random, const std::string& key) {
  std::string name = key;
  switch (random() % 3) {
    case 0:
      for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      break;
    case 1:
      for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      break;
    default:
      break;
  }
  return name;
}

std::string Value(std::mt19937& random) {
  static const std::vector<std::string> kValues = {"",
                                                   "1",
                                                   "0",
                                                   "  0  ",
                                                   "-1",
                                                   "$FFFFFFFF",
                                                   "0x10",
                                                   "x1F",
                                                   "$0",
                                                   "00",
                                                   "1.0",
                                                   "true",
                                                   "off",
                                                   "*.*",
                                                   "*.txt",
                                                   "\"C:\\my files\"",
                                                   "'D:\\x'",
                                                   "\"mixed'",
                                                   "\"",
                                                   "''",
                                                   "\"\"",
                                                   "a \"b\" c",
                                                   "\"x\" y",
                                                   "a=b",
                                                   "E:\\a;F:\\b",
                                                   "C:\\with spaces   ",
                                                   "\ttabbed\t",
                                                   "[Main]",
                                                   "caf\xe9 \xc0\xff",
                                                   "\x01\x7f"};
  const int pick = static_cast<int>(random() % (kValues.size() + 4));
  if (pick < static_cast<int>(kValues.size()))
    return kValues[pick];
  // Long values around the 2047-character limit, some of them quoted.
  static const size_t kLengths[] = {2046, 2047, 2048, 3000};
  std::string text(kLengths[pick - kValues.size()], 'v');
  for (size_t i = 0; i < text.size(); i += 7) text[i] = static_cast<char>('a' + i % 26);
  if (random() % 2)
    text = "\"" + text + "\"";
  return text;
}

std::string Line(std::mt19937& random) {
  static const std::vector<std::string> kSections = {
      "[Main]", "[main]", "[ MAIN ]", "  [Main]  ", "[Other]", "[Main", "[]", "[Main] extra"};
  const std::string key = Spelled(random, kKeys[random() % kKeys.size()]);
  switch (random() % 12) {
    case 0:
      return kSections[random() % kSections.size()];
    case 1:
      return "";
    case 2:
      return " " + key + " = " + Value(random) + " ";
    case 3:
      return "\t" + key + "\t=\t" + Value(random);
    case 4:
      return key;
    case 5:
      return "=" + Value(random);
    default:
      return key + "=" + Value(random);
  }
}

std::string SettingsText(std::mt19937& random) {
  static const char* kLineEnds[] = {"\r\n", "\n", "\r"};
  const char* eol = kLineEnds[random() % 3];
  std::string text;
  const int lines = 1 + static_cast<int>(random() % 14);
  if (random() % 4 != 0)
    text += std::string(random() % 2 ? "[Main]" : "[main]") + eol;
  for (int i = 0; i < lines; ++i) text += Line(random) + eol;
  return text;
}

// A readable, short form of a text for failure messages: escapes, long values abbreviated.
std::string Show(const std::string& text) {
  std::string shown;
  size_t line_start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\n')
      continue;
    std::string line = text.substr(line_start, i - line_start);
    if (line.size() > 60) {
      line = line.substr(0, 20) + "...<" + std::to_string(line.size()) + " chars>..." +
             line.substr(line.size() - 20);
    }
    for (char c : line) {
      unsigned char u = static_cast<unsigned char>(c);
      if (u < 0x20 || u >= 0x7f) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", u);
        shown += hex;
      } else {
        shown += c;
      }
    }
    if (i < text.size())
      shown += "\\n\n";
    line_start = i + 1;
  }
  return shown;
}

bool IsAscii(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) > 0x7f)
      return false;
  }
  return true;
}

class SettingsReaderDifferentialTest : public testing_support::TempDirTest {};

TEST_F(SettingsReaderDifferentialTest, EngineReaderAgreesWithTheSystemOnGeneratedFiles) {
  std::mt19937 random(20240611);
  platform::FileSystem& system = platform::DefaultFileSystem();
  int found = 0, missing = 0;
  for (int file = 0; file < 400; ++file) {
    std::string text = SettingsText(random);
    if (file % 10 == 0 && IsAscii(text))
      text = "\xEF\xBB\xBF" + text;
    // A fresh name per file: the system may keep a file it read in a cache.
    const std::string path = WriteFile("case" + std::to_string(file) + ".bfs", text);
    for (const std::string& key : kKeys) {
      const std::string ours = engine::FindIniValue(text, "Main", key).value_or(kDefault);
      std::string theirs = system.ReadProfileString(path, "Main", key, kDefault);
      if (ours.size() == engine::kMaxValueLength && theirs.size() + 1 == ours.size()) {
        theirs.push_back(ours.back());
      }
      EXPECT_TRUE(ours == theirs) << "key " << key << ": engine \"" << Show(ours) << "\", system \""
                                  << Show(theirs) << "\" in\n"
                                  << Show(text);
      ++(theirs == kDefault ? missing : found);
    }
  }
  // The corpus must exercise both sides: keys found and keys left at their default.
  EXPECT_GT(found, 500) << missing;
  EXPECT_GT(missing, 500) << found;
}

}  // namespace
