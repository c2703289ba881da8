// Saving into settings files on Windows as the window saves them (all fourteen keys of [Main],
// one key per write), in every encoding a settings file may have: the bytes of the whole file
// afterwards, the values read back by the engine and by the system's wide profile reader.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/settings_file.h"
#include "tests/support/temp_dir_test.h"
#include "tests/windows/unicode_files.h"

namespace {

using windows_tests::GetFile;
using windows_tests::PutFile;
using windows_tests::Wide;

std::string Utf16Le(const std::string& utf8) {
  std::string bytes = "\xFF\xFE";
  for (wchar_t unit : Wide(utf8)) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

std::string Utf16Be(const std::string& utf8) {
  std::string bytes = "\xFE\xFF";
  for (wchar_t unit : Wide(utf8)) {
    bytes.push_back(static_cast<char>(unit >> 8));
    bytes.push_back(static_cast<char>(unit & 0xFF));
  }
  return bytes;
}

std::string SystemValue(const std::string& path, const std::string& key) {
  std::wstring value(4096, L'\0');
  value.resize(GetPrivateProfileStringW(L"Main", Wide(key).c_str(), L"<none>", value.data(),
                                        static_cast<DWORD>(value.size()), Wide(path).c_str()));
  return windows_tests::Utf8(value);
}

// "Копия", in UTF-8 and in code page 1251.
constexpr char kCopy[] = "\xD0\x9A\xD0\xBE\xD0\xBF\xD0\xB8\xD1\x8F";
constexpr char kCopy1251[] = "\xCA\xEE\xEF\xE8\xFF";
constexpr char kEmoji[] = "\xF0\x9F\x93\x81";

class SettingsEncodingTest : public testing_support::TempDirTest {
 protected:
  std::string At(const std::string& name) const { return PathOf() + "\\" + name; }
};

TEST_F(SettingsEncodingTest, AWindowStyleSaveOfACyrillicValueKeepsEveryOtherLine) {
  if (GetACP() != 1252 && GetACP() != 1251)
    GTEST_SKIP() << "written for code pages 1252 and 1251, not " << GetACP();
  const bool cyrillic_machine = GetACP() == 1251;
  // An earlier version's file: a comment with a letter of the code page, blank lines, blanks
  // around "=", a key of its own, another section with a key of the same name.
  const std::string old_file =
      "; caf\xE9\r\n\r\n[Main]\r\nSourceFolder = C:\\src\r\nDestFolder=C:\\old\r\n\r\n"
      "Mask=*.*\r\nExtra=keep me\r\n\r\n[Other]\r\nDestFolder=untouched\r\n";
  const std::string path = At("job.bfs");
  PutFile(path, old_file);
  const std::string dest = std::string("C:\\") + kCopy + ";D:\\x";
  const std::vector<std::pair<std::string, std::string>> keys = {{"SourceFolder", "C:\\src"},
                                                                 {"MasterFolder", "C:\\master"},
                                                                 {"DestFolder", dest},
                                                                 {"SyncSub", "1"},
                                                                 {"CreateSub", "1"},
                                                                 {"Mask", "*.*"},
                                                                 {"flSize", "1"},
                                                                 {"flDate", "1"},
                                                                 {"flAttr", "0"},
                                                                 {"flReadOnly", "0"},
                                                                 {"flHidden", "0"},
                                                                 {"flArchive", "0"},
                                                                 {"flSystem", "0"},
                                                                 {"flCompressed", "0"}};

  engine::SettingsFile file(path);
  for (const auto& [key, value] : keys) ASSERT_TRUE(file.WriteText("Main", key, value).ok()) << key;

  const std::string new_keys =
      "MasterFolder=C:\\master\r\nSyncSub=1\r\nCreateSub=1\r\nflSize=1\r\nflDate=1\r\n"
      "flAttr=0\r\nflReadOnly=0\r\nflHidden=0\r\nflArchive=0\r\nflSystem=0\r\nflCompressed=0\r\n";
  const std::string tail = "\r\n[Other]\r\nDestFolder=untouched\r\n";
  if (cyrillic_machine) {
    // The code page holds the value: the file stays ANSI, byte for byte but the keys' lines.
    EXPECT_EQ(GetFile(path), "; caf\xE9\r\n\r\n[Main]\r\nSourceFolder=C:\\src\r\nDestFolder=C:\\" +
                                 std::string(kCopy1251) +
                                 ";D:\\x\r\n\r\nMask=*.*\r\nExtra=keep me\r\n" + new_keys + tail);
  } else {
    // It does not: the file becomes UTF-16, its other lines converted once.
    EXPECT_EQ(GetFile(path),
              Utf16Le("; caf\xC3\xA9\r\n\r\n[Main]\r\nSourceFolder=C:\\src\r\n"
                      "DestFolder=" +
                      dest + "\r\n\r\nMask=*.*\r\nExtra=keep me\r\n" + new_keys + tail));
  }
  for (const auto& [key, value] : keys) {
    EXPECT_EQ(file.ReadText("Main", key, "<none>"), value) << key;
    EXPECT_EQ(SystemValue(path, key), value) << key;
  }
  EXPECT_EQ(file.ReadText("Other", "DestFolder", ""), "untouched");
}

TEST_F(SettingsEncodingTest, AFileKeepsItsEncodingWhileItCanHoldTheValue) {
  // A letter the code page holds: "é" in 1252, "Ж" in 1251.
  const bool cyrillic_machine = GetACP() == 1251;
  const std::string own = cyrillic_machine ? "\xD0\x96" : "\xC3\xA9";
  const std::string own_ansi = cyrillic_machine ? "\xC6" : "\xE9";
  const std::string main = "[Main]\r\nMask=*.*\r\n";
  struct Case {
    std::string name, before, value, after;
  } cases[] = {
      {"ansi.bfs", main, "a" + own, "[Main]\r\nMask=a" + own_ansi + "\r\n"},
      {"ansi-emoji.bfs", main, kEmoji, Utf16Le(std::string("[Main]\r\nMask=") + kEmoji + "\r\n")},
      // A best fit would store "Omega" in code page 1252.
      {"ansi-omega.bfs", main, "\xCE\xA9mega", Utf16Le("[Main]\r\nMask=\xCE\xA9mega\r\n")},
      {"utf16le.bfs", Utf16Le(main), "x", Utf16Le("[Main]\r\nMask=x\r\n")},
      {"utf16be.bfs", Utf16Be(main), kCopy,
       Utf16Be(std::string("[Main]\r\nMask=") + kCopy + "\r\n")},
      {"utf8bom.bfs", "\xEF\xBB\xBF" + main, kCopy,
       std::string("\xEF\xBB\xBF[Main]\r\nMask=") + kCopy + "\r\n"},
      // Valid UTF-8 beyond ASCII without a mark, as written on Linux.
      {"utf8.bfs", std::string("[Main]\nMask=") + kCopy + "\n", kEmoji,
       std::string("[Main]\nMask=") + kEmoji + "\n"},
      {"new.bfs", "", kEmoji, Utf16Le(std::string("[Main]\r\nMask=") + kEmoji + "\r\n")},
      {"new-ansi.bfs", "", own, "[Main]\r\nMask=" + own_ansi + "\r\n"},
  };
  for (const Case& c : cases) {
    const std::string path = At(c.name);
    if (!c.before.empty())
      PutFile(path, c.before);
    engine::SettingsFile file(path);
    ASSERT_TRUE(file.WriteText("Main", "Mask", c.value).ok()) << c.name;
    EXPECT_EQ(GetFile(path), c.after) << c.name;
    EXPECT_EQ(file.ReadText("Main", "Mask", ""), c.value) << c.name;
    // Without a mark the system takes UTF-8 for ANSI.
    if (c.name != "utf8.bfs") {
      EXPECT_EQ(SystemValue(path, "Mask"), c.value) << c.name;
    }
  }
}

TEST_F(SettingsEncodingTest, SettingsFilesWithNamesBeyondTheCodePageAreReadAndWritten) {
  const std::string path = At(std::string(kCopy) + " " + kEmoji + ".bfs");
  engine::SettingsFile file(path);
  ASSERT_TRUE(file.WriteText("Main", "SourceFolder", "C:\\a").ok());
  EXPECT_EQ(file.ReadText("Main", "SourceFolder", ""), "C:\\a");
  EXPECT_EQ(GetFile(path), "[Main]\r\nSourceFolder=C:\\a\r\n");
}

}  // namespace
