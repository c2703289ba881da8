// What a console shows: run inside one (tests/windows/in-terminal.sh gives the program a
// console under Wine), these tests write, or start parlocon.exe, and read the characters back
// from the console's screen buffer. Without a console they are skipped, unless the terminal
// runner started them, which expects one.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "engine/platform/std_streams.h"
#include "tests/support/temp_dir_test.h"
#include "tests/windows/process.h"
#include "tests/windows/unicode_files.h"

namespace {

using windows_tests::PutFile;
using windows_tests::Wide;

HANDLE Console() {
  return GetStdHandle(STD_OUTPUT_HANDLE);
}

std::wstring SystemText(DWORD code) {
  wchar_t* text = nullptr;
  FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text),
      0, nullptr);
  std::wstring message = text != nullptr ? text : L"";
  LocalFree(text);
  while (!message.empty() &&
         (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ')) {
    message.pop_back();
  }
  return message;
}

class ConsoleOutputTest : public testing_support::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    DWORD mode = 0;
    if (!GetConsoleMode(Console(), &mode)) {
      if (std::getenv("PARLOWEN_TERMINAL") != nullptr)
        FAIL() << "started in a terminal, but standard output is no console";
      GTEST_SKIP() << "standard output is no console (tests/windows/in-terminal.sh gives one)";
    }
    Clear();
  }
  std::string At(const std::string& name) const { return PathOf() + "\\" + name; }

  // An empty screen with the cursor at the top, so what follows starts at row 0.
  void Clear() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    ASSERT_TRUE(GetConsoleScreenBufferInfo(Console(), &info));
    DWORD done = 0;
    FillConsoleOutputCharacterW(Console(), L' ', info.dwSize.X * info.dwSize.Y, {0, 0}, &done);
    SetConsoleCursorPosition(Console(), {0, 0});
  }
  // Every cell from the top to the cursor's row, row after row: a line that wraps reads on.
  std::wstring Shown() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(Console(), &info))
      return L"";
    width_ = info.dwSize.X;
    std::wstring cells(static_cast<size_t>(width_) * (info.dwCursorPosition.Y + 1), L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(Console(), cells.data(), static_cast<DWORD>(cells.size()), {0, 0},
                                &read);
    cells.resize(read);
    return cells;
  }
  // True when `line` stands at the start of a row, followed by blanks to the row's end.
  bool ShowsLine(const std::wstring& shown, const std::wstring& line) {
    for (size_t at = shown.find(line); at != std::wstring::npos; at = shown.find(line, at + 1)) {
      const size_t end = at + line.size();
      const size_t row_end = (end + width_ - 1) / width_ * width_;
      if (at % width_ == 0 && shown.find_first_not_of(L' ', end) >= std::min(row_end, shown.size()))
        return true;
    }
    return false;
  }

  size_t width_ = 80;
};

TEST_F(ConsoleOutputTest, WholeCharactersReachTheConsoleAlsoWhenWrittenInPieces) {
  // "Ж" and an emoji, each split between two writes, as the output's blocks may split them.
  for (const char* piece : {"A: \xD0", "\x96 \xF0\x9F", "\x98\x80 \xCE\xA9 \xE4\xB8\xAD\r\n"}) {
    ASSERT_EQ(platform::WriteStream(platform::kStdOutput, piece), 0);
  }
  const std::wstring shown = Shown();
  EXPECT_TRUE(ShowsLine(shown, L"A: \x0416 \xD83D\xDE00 \x03A9 \x4E2D"))
      << windows_tests::Utf8(shown);
}

TEST_F(ConsoleOutputTest, ParloconShowsEveryNameAndTheSystemsMessage) {
  const std::string names[] = {"ascii.txt",
                               "\xD0\x96\xD0\xB8\xD0\xB7\xD0\xBD\xD1\x8C.txt",
                               "\xCE\xA9mega.txt",
                               "\xE4\xB8\xAD\xE6\x96\x87.txt",
                               "\xF0\x9F\x98\x80.txt",
                               "caf\xC3\xA9.txt"};
  for (const std::string& name : names) PutFile(At("src\\" + name), name);
  windows_tests::MakeFolders(At("master"));
  // A source folder that is missing: its failure carries the system's own text.
  const std::string missing = At("\xD0\x9D\xD0\xB5\xD1\x82");
  PutFile(At("job.bfs"),
          "[Main]\r\nSourceFolder=" + At("src") + "\r\nMasterFolder=" + At("master") + "\r\n");
  PutFile(At("missing.bfs"),
          "[Main]\r\nSourceFolder=" + missing + "\r\nMasterFolder=" + At("master") + "\r\n");
  MakeFolder("out");
  const std::string exe = "\"" + windows_tests::ParloconExe() + "\"";

  windows_tests::ProcessResult run = windows_tests::RunCommandLine(
      exe + " job.bfs", PathOf(), PathOf("out"), windows_tests::StdOut::kConsole);
  windows_tests::ProcessResult failed = windows_tests::RunCommandLine(
      exe + " missing.bfs", PathOf(), PathOf("out"), windows_tests::StdOut::kConsole);

  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_EQ(failed.exit_code, 3u);
  const std::wstring shown = Shown();
  for (const std::string& name : names) {
    EXPECT_TRUE(ShowsLine(shown, Wide("Copy " + At("src\\" + name)))) << name;
  }
  EXPECT_TRUE(ShowsLine(shown, Wide("parlocon: list " + missing + ": ") + SystemText(3)))
      << windows_tests::Utf8(shown);
}

}  // namespace
