// The settings readers against the system's profile functions, on settings files generated
// here. Nothing is expected by hand: each pair must give the same text for every key, or the
// difference must be one of the deliberate ones listed below.
// - The engine's own reader (used where the system has no profile functions) reads bytes, as
//   GetPrivateProfileStringA does.
// - The Windows build's reader decodes each file (ANSI, UTF-16 with a byte-order mark, UTF-8)
//   into UTF-8, as GetPrivateProfileStringW decodes it into UTF-16.
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
//   back in the ANSI code page by the ...A function, so letters beyond ASCII change; the
//   engine's byte reader hands back the bytes as they stand, as it does for every other file.
//   Such files hold ASCII values only in the byte comparison.
// - A file of valid UTF-8 without a mark is ANSI to the system and UTF-8 to the Windows build.
//   The generated ANSI files are never valid UTF-8 beyond ASCII (checked).
// - A value cut inside a surrogate pair: the system keeps its first half, which is no
//   character; the Windows build cuts before the pair.
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

// Values in the file's own bytes, or, for `unicode`, in UTF-8 with letters of several scripts.
std::string Value(std::mt19937& random, bool unicode) {
  static const std::vector<std::string> kUnicodeValues = {
      "caf\xC3\xA9",        "C:\\\xD0\x96\xD0\xB8\xD0\xB7\xD0\xBD\xD1\x8C",
      " \"\xCE\xA9mega\" ", "\xE4\xB8\xAD\xE6\x96\x87;D:\\x",
      "\xF0\x9F\x98\x80 x", "\xD0\xB6\xC3\xA9\xCE\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80"};
  if (unicode && random() % 3 == 0) {
    // Now and then one long enough to be cut, made of two-byte letters and emoji.
    if (random() % 8 == 0) {
      std::string text;
      while (text.size() < 5000) text += random() % 2 ? "\xD0\xB6" : "\xF0\x9F\x98\x80";
      return text;
    }
    return kUnicodeValues[random() % kUnicodeValues.size()];
  }
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
                                                   "\x01\x7f"};
  if (!unicode && random() % 30 == 0)
    return "caf\xe9 \xc0\xff";
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

std::string Line(std::mt19937& random, bool unicode) {
  static const std::vector<std::string> kSections = {
      "[Main]", "[main]", "[ MAIN ]", "  [Main]  ", "[Other]", "[Main", "[]", "[Main] extra"};
  const std::string key = Spelled(random, kKeys[random() % kKeys.size()]);
  switch (random() % 12) {
    case 0:
      return kSections[random() % kSections.size()];
    case 1:
      return "";
    case 2:
      return " " + key + " = " + Value(random, unicode) + " ";
    case 3:
      return "\t" + key + "\t=\t" + Value(random, unicode);
    case 4:
      return key;
    case 5:
      return "=" + Value(random, unicode);
    default:
      return key + "=" + Value(random, unicode);
  }
}

std::string SettingsText(std::mt19937& random, bool unicode) {
  static const char* kLineEnds[] = {"\r\n", "\n", "\r"};
  const char* eol = kLineEnds[random() % 3];
  std::string text;
  const int lines = 1 + static_cast<int>(random() % 14);
  if (random() % 4 != 0)
    text += std::string(random() % 2 ? "[Main]" : "[main]") + eol;
  for (int i = 0; i < lines; ++i) text += Line(random, unicode) + eol;
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

std::wstring Wide(const std::string& text, UINT code_page) {
  std::wstring wide(text.size() + 1, L'\0');
  const int length = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()),
                                         wide.data(), static_cast<int>(wide.size()));
  wide.resize(static_cast<size_t>(length));
  return wide;
}

std::string Narrow(const std::wstring& wide, UINT code_page) {
  std::string text(wide.size() * 4 + 1, '\0');
  const int length =
      WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                          static_cast<int>(text.size()), nullptr, nullptr);
  text.resize(static_cast<size_t>(length));
  return text;
}

std::string Utf16File(const std::wstring& text, bool big_endian) {
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (wchar_t unit : text) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes.push_back(big_endian ? high : low);
    bytes.push_back(big_endian ? low : high);
  }
  return bytes;
}

bool IsValidUtf8(const std::string& text) {
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                             static_cast<int>(text.size()), nullptr, 0) > 0;
}

class SettingsReaderDifferentialTest : public testing_support::TempDirTest {};

TEST_F(SettingsReaderDifferentialTest, EngineReaderAgreesWithTheSystemOnGeneratedFiles) {
  std::mt19937 random(20240611);
  int found = 0, missing = 0;
  for (int file = 0; file < 400; ++file) {
    std::string text = SettingsText(random, false);
    if (file % 10 == 0 && IsAscii(text))
      text = "\xEF\xBB\xBF" + text;
    // A fresh name per file: the system may keep a file it read in a cache.
    const std::string path = WriteFile("case" + std::to_string(file) + ".bfs", text);
    for (const std::string& key : kKeys) {
      const std::string ours = engine::FindIniValue(text, "Main", key).value_or(kDefault);
      std::string theirs(engine::kMaxValueLength + 1, '\0');
      theirs.resize(GetPrivateProfileStringA("Main", key.c_str(), kDefault, theirs.data(),
                                             static_cast<DWORD>(theirs.size()), path.c_str()));
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

TEST_F(SettingsReaderDifferentialTest, WindowsReaderAgreesWithTheWideSystemReaderInEveryEncoding) {
  std::mt19937 random(20261208);
  platform::FileSystem& windows = platform::DefaultFileSystem();
  const char* kForms[] = {"ANSI", "UTF-16LE", "UTF-16BE", "UTF-8 with a mark"};
  int found = 0, beyond_ansi = 0;
  for (int file = 0; file < 240; ++file) {
    const std::string utf8 = SettingsText(random, true);
    const std::wstring wide = Wide(utf8, CP_UTF8);
    std::string bytes;
    switch (file % 4) {
      case 0:
        // Letters the code page lacks become "?" here already, as they would in such a file.
        bytes = Narrow(wide, CP_ACP);
        ASSERT_TRUE(IsAscii(bytes) || !IsValidUtf8(bytes)) << Show(bytes);
        break;
      case 1:
        bytes = Utf16File(wide, false);
        break;
      case 2:
        bytes = Utf16File(wide, true);
        break;
      default:
        bytes = "\xEF\xBB\xBF" + utf8;
    }
    const std::string path = WriteFile("wide" + std::to_string(file) + ".bfs", bytes);
    const std::wstring wide_path = Wide(path, CP_ACP);
    for (const std::string& key : kKeys) {
      const std::string ours = windows.ReadProfileString(path, "Main", key, kDefault);
      std::wstring buffer(engine::kMaxValueLength + 1, L'\0');
      buffer.resize(GetPrivateProfileStringW(L"Main", Wide(key, CP_ACP).c_str(), L"<no such key>",
                                             buffer.data(), static_cast<DWORD>(buffer.size()),
                                             wide_path.c_str()));
      // A value cut inside a surrogate pair: the system keeps the first half, which names
      // nothing; the Windows build cuts before the pair.
      if (!buffer.empty() && buffer.back() >= 0xD800 && buffer.back() <= 0xDBFF)
        buffer.pop_back();
      std::string theirs = Narrow(buffer, CP_UTF8);
      // Wine's one unit short at the limit (see above).
      if (buffer.size() + 1 == engine::kMaxValueLength && ours.substr(0, theirs.size()) == theirs &&
          Wide(ours, CP_UTF8).size() == engine::kMaxValueLength) {
        theirs = ours;
      }
      EXPECT_TRUE(ours == theirs) << kForms[file % 4] << ", key " << key << ": ours \""
                                  << Show(ours) << "\", system \"" << Show(theirs) << "\" in\n"
                                  << Show(utf8);
      if (ours != kDefault)
        ++found;
      if (ours != kDefault && !IsAscii(ours))
        ++beyond_ansi;
    }
  }
  EXPECT_GT(found, 300);
  EXPECT_GT(beyond_ansi, 50);
}

}  // namespace
