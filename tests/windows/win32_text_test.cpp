// Text and paths at the Windows boundary: UTF-8 inside, UTF-16 and the ANSI code page outside.
#include "engine/platform/win32/win32_text.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "engine/platform/win32/win32_system_path.h"

namespace {

std::wstring CurrentFolder() {
  std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
  folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  return folder;
}

TEST(Win32TextTest, UnitsAndBytesConvertBothWaysExactly) {
  struct Case {
    std::wstring wide;
    std::string utf8;
  } cases[] = {
      {L"abc", "abc"},
      {L"\x0416\x0438\x0437\x043D\x044C", "\xD0\x96\xD0\xB8\xD0\xB7\xD0\xBD\xD1\x8C"},
      {L"\x4E2D\x6587", "\xE4\xB8\xAD\xE6\x96\x87"},
      {L"\xD83D\xDE00!", "\xF0\x9F\x98\x80!"},
      // Lone surrogates, which Windows names may hold: kept as their three-byte sequences.
      {L"a\xD800"
       L"b",
       "a\xED\xA0\x80"
       "b"},
      {L"\xDC00", "\xED\xB0\x80"},
      {L"\xDE00\xD83D", "\xED\xB8\x80\xED\xA0\xBD"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::Utf8FromWide(c.wide), c.utf8) << c.utf8;
    std::wstring back;
    EXPECT_TRUE(platform::WideFromUtf8(c.utf8, &back)) << c.utf8;
    EXPECT_EQ(back, c.wide) << c.utf8;
  }
}

TEST(Win32TextTest, BytesThatEncodeNoCharacterAreRefused) {
  for (const std::string bytes :
       {"\xFF", "a\xD0", "\xC0\x80", "\xE0\x80\x80", "\xF4\x90\x80\x80", "\x80", "\xD0\x41"}) {
    std::wstring wide = L"left over";
    EXPECT_FALSE(platform::WideFromUtf8(bytes, &wide));
    EXPECT_EQ(wide, L"");
    EXPECT_FALSE(platform::IsUtf8(bytes));
  }
  EXPECT_TRUE(platform::IsUtf8("a\xD0\x96\xF0\x9F\x98\x80"));
  EXPECT_FALSE(platform::IsUtf8("\xED\xA0\x80"));  // a lone surrogate is no UTF-8
  EXPECT_EQ(platform::ReadableWide("a\xFF"
                                   "b"),
            L"a\xFFFD"
            L"b");
}

TEST(Win32TextTest, TheAnsiCodePageGetsOneQuestionMarkPerCharacterItLacks) {
  if (GetACP() != 1252 && GetACP() != 1251)
    GTEST_SKIP() << "written for code pages 1252 and 1251, not " << GetACP();
  const bool cp1251 = GetACP() == 1251;
  struct Case {
    std::string utf8, cp1252, cp1251;
  } cases[] = {
      {"plain", "plain", "plain"},
      // No best fit: "Ω" is no "O", "é" no "e".
      {"\xCE\xA9mega", "?mega", "?mega"},
      {"caf\xC3\xA9", "caf\xE9", "caf?"},
      {"\xD0\x96\xD0\xB8\xD0\xB7\xD0\xBD\xD1\x8C", "?????", "\xC6\xE8\xE7\xED\xFC"},
      {"\xF0\x9F\x98\x80 x", "? x", "? x"},
      {"\xED\xA0\x80", "?", "?"},
      {"a\xFF", "a?", "a?"},
      {"?", "?", "?"},
  };
  for (const Case& c : cases) {
    const std::string& expected = cp1251 ? c.cp1251 : c.cp1252;
    bool exact = true;
    EXPECT_EQ(platform::AnsiFromUtf8(c.utf8, &exact), expected) << c.utf8;
    // Exact when no "?" was put in for a character.
    EXPECT_EQ(exact, std::count(expected.begin(), expected.end(), '?') ==
                         std::count(c.utf8.begin(), c.utf8.end(), '?'))
        << c.utf8;
    if (exact) {
      EXPECT_EQ(platform::Utf8FromAnsi(expected), c.utf8);
    }
  }
}

TEST(Win32TextTest, CutsCountUnitsAndNeverSplitACharacter) {
  struct Case {
    std::string utf8;
    size_t units, prefix;
  } cases[] = {
      {"abc", 2, 2},
      {"\xD0\x96"
       "a",
       1, 2},
      {"\xF0\x9F\x98\x80"
       "a",
       1, 0},
      {"\xF0\x9F\x98\x80"
       "a",
       2, 4},
      {"\xF0\x9F\x98\x80"
       "a",
       9, 5},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::Utf8PrefixOfUnits(c.utf8, c.units), c.prefix) << c.utf8 << " " << c.units;
  }
  struct Tail {
    std::string utf8;
    size_t complete;
  } tails[] = {
      {"ab", 2},   {"a\xD0", 1}, {"a\xD0\x96", 3}, {"\xF0\x9F\x98", 0}, {"\xF0\x9F\x98\x80", 4},
      {"\x80", 1}, {"", 0},
  };
  for (const Tail& t : tails) EXPECT_EQ(platform::CompleteUtf8Length(t.utf8), t.complete) << t.utf8;
}

TEST(Win32SystemPathTest, AbsolutePathsTakeTheLongFormWithEveryNameKept) {
  struct Case {
    std::string path;
    std::wstring system;
  } cases[] = {
      {"C:\\a\\b", L"\\\\?\\C:\\a\\b"},
      {"C:/a//b/./c/../d\\", L"\\\\?\\C:\\a\\b\\d"},
      {"C:\\", L"\\\\?\\C:\\"},
      {"C:\\..\\x", L"\\\\?\\C:\\x"},
      // Names the older rules would change or take for a device.
      {"C:\\a.\\b ", L"\\\\?\\C:\\a.\\b "},
      {"C:\\dir\\NUL", L"\\\\?\\C:\\dir\\NUL"},
      {"C:\\\xD0\x96\\\xF0\x9F\x98\x80", L"\\\\?\\C:\\\x0416\\\xD83D\xDE00"},
      {"\\\\srv\\share\\x\\..\\..\\y", L"\\\\?\\UNC\\srv\\share\\y"},
      {"//srv/share", L"\\\\?\\UNC\\srv\\share\\"},
      {"\\\\?\\C:\\x/./y", L"\\\\?\\C:\\x/./y"},
      {"\\\\.\\NUL", L"\\\\.\\NUL"},
      {"", L""},
      {"C:\\\xFF", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::SystemPath(c.path), c.system) << c.path;
  EXPECT_EQ(platform::SystemPathIn("C:\\a\\", "*.*"), L"\\\\?\\C:\\a\\*.*");
  EXPECT_EQ(platform::SystemPathIn("C:\\a", "\xFF"), L"");
}

TEST(Win32SystemPathTest, RelativePathsAreTakenFromTheCurrentFolder) {
  const std::wstring here = CurrentFolder();
  ASSERT_GE(here.size(), 3u);
  ASSERT_EQ(here[1], L':');
  ASSERT_NE(here.back(), L'\\');
  const std::string drive(1, static_cast<char>(here[0]));
  struct Case {
    std::string path;
    std::wstring system;
  } cases[] = {
      {"a\\b", L"\\\\?\\" + here + L"\\a\\b"},
      {".\\a", L"\\\\?\\" + here + L"\\a"},
      {"\\x", L"\\\\?\\" + here.substr(0, 2) + L"\\x"},
      {drive + ":x", L"\\\\?\\" + here + L"\\x"},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::SystemPath(c.path), c.system) << c.path;
}

}  // namespace
