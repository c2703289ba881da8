#include "engine/platform/win32/win32_text.h"

#include <windows.h>

#include <cstdint>

namespace platform {
namespace {

constexpr uint32_t kNoCharacter = 0xFFFFFFFF;

bool IsSurrogate(uint32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80)
    return 1;
  if (lead >= 0xC2 && lead <= 0xDF)
    return 2;
  if (lead >= 0xE0 && lead <= 0xEF)
    return 3;
  if (lead >= 0xF0 && lead <= 0xF4)
    return 4;
  return 0;
}

// The character that starts at `*at`, lone surrogates included, and moves past it; for bytes
// that encode none, kNoCharacter and one byte further.
uint32_t NextCharacter(std::string_view s, size_t* at) {
  const unsigned char lead = static_cast<unsigned char>(s[*at]);
  const size_t length = SequenceLength(lead);
  if (length == 1) {
    ++*at;
    return lead;
  }
  if (length == 0 || *at + length > s.size()) {
    ++*at;
    return kNoCharacter;
  }
  uint32_t c = lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    const unsigned char next = static_cast<unsigned char>(s[*at + k]);
    if ((next & 0xC0) != 0x80) {
      ++*at;
      return kNoCharacter;
    }
    c = (c << 6) | (next & 0x3F);
  }
  if ((length == 3 && c < 0x800) || (length == 4 && (c < 0x10000 || c > 0x10FFFF))) {
    ++*at;
    return kNoCharacter;
  }
  *at += length;
  return c;
}

void AppendUtf8(uint32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

void AppendUtf16(uint32_t c, std::wstring* out) {
  if (c < 0x10000) {
    out->push_back(static_cast<wchar_t>(c));
  } else {
    c -= 0x10000;
    out->push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
    out->push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
  }
}

}  // namespace

std::string Utf8FromWide(std::wstring_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    uint32_t c = static_cast<uint16_t>(wide[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size()) {
      const uint32_t low = static_cast<uint16_t>(wide[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    AppendUtf8(c, &out);
  }
  return out;
}

bool WideFromUtf8(std::string_view utf8, std::wstring* wide) {
  wide->clear();
  wide->reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) {
    const uint32_t c = NextCharacter(utf8, &at);
    if (c == kNoCharacter) {
      wide->clear();
      return false;
    }
    AppendUtf16(c, wide);
  }
  return true;
}

std::wstring WideFromUtf8(std::string_view utf8) {
  std::wstring wide;
  WideFromUtf8(utf8, &wide);
  return wide;
}

std::wstring ReadableWide(std::string_view utf8) {
  std::wstring wide;
  wide.reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) {
    const uint32_t c = NextCharacter(utf8, &at);
    AppendUtf16(c == kNoCharacter ? 0xFFFD : c, &wide);
  }
  return wide;
}

bool IsUtf8(std::string_view bytes) {
  for (size_t at = 0; at < bytes.size();) {
    const uint32_t c = NextCharacter(bytes, &at);
    if (c == kNoCharacter || IsSurrogate(c))
      return false;
  }
  return true;
}

std::string AnsiFromUtf8(std::string_view utf8, bool* exact) {
  const bool utf8_machine = GetACP() == CP_UTF8;
  bool fits = true;
  // No ANSI code page but UTF-8 holds a character beyond the first plane; each such character,
  // and each lone surrogate or stray byte, is one "?" here, not one per UTF-16 unit.
  std::wstring wide;
  wide.reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) {
    const uint32_t c = NextCharacter(utf8, &at);
    if (c == kNoCharacter || IsSurrogate(c) || (c >= 0x10000 && !utf8_machine)) {
      wide.push_back(L'?');
      fits = false;
    } else {
      AppendUtf16(c, &wide);
    }
  }
  std::string ansi;
  if (utf8_machine) {
    ansi = Utf8FromWide(wide);
  } else if (!wide.empty()) {
    BOOL used_default = FALSE;
    const int length = static_cast<int>(wide.size());
    const int needed = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length,
                                           nullptr, 0, "?", &used_default);
    ansi.resize(static_cast<size_t>(needed > 0 ? needed : 0));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, ansi.data(), needed, "?",
                        &used_default);
    if (used_default)
      fits = false;
  }
  if (exact != nullptr)
    *exact = fits;
  return ansi;
}

std::string Utf8FromAnsi(std::string_view ansi) {
  if (ansi.empty())
    return {};
  const int length = static_cast<int>(ansi.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
  std::wstring wide(static_cast<size_t>(needed > 0 ? needed : 0), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), needed);
  return Utf8FromWide(wide);
}

size_t Utf8PrefixOfUnits(std::string_view utf8, size_t units) {
  size_t at = 0, used = 0;
  while (at < utf8.size()) {
    size_t next = at;
    const uint32_t c = NextCharacter(utf8, &next);
    const size_t width = c != kNoCharacter && c >= 0x10000 ? 2 : 1;
    if (used + width > units)
      break;
    used += width;
    at = next;
  }
  return at;
}

size_t CompleteUtf8Length(std::string_view utf8) {
  // The last sequence begins at most three bytes from the end.
  for (size_t back = 1; back <= 4 && back <= utf8.size(); ++back) {
    const unsigned char c = static_cast<unsigned char>(utf8[utf8.size() - back]);
    if ((c & 0xC0) == 0x80)
      continue;
    const size_t length = SequenceLength(c);
    return length > back ? utf8.size() - back : utf8.size();
  }
  return utf8.size();
}

}  // namespace platform
