// Text at the Windows boundary. Inside, the engine's strings are UTF-8; the system's wide
// functions take UTF-16. Windows names may hold a lone surrogate, which no UTF-8 can carry, so
// the engine's form is UTF-8 extended to encode lone surrogates as their three-byte sequences
// (WTF-8): every name the system gives converts back to exactly the same name.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string Utf8FromWide(std::wstring_view wide);

// False, with `wide` cleared, when `utf8` holds a byte sequence that encodes no character (a
// string the engine never makes, since every string it gets from the system is converted by
// Utf8FromWide).
bool WideFromUtf8(std::string_view utf8, std::wstring* wide);
std::wstring WideFromUtf8(std::string_view utf8);  // empty when it cannot be converted

// For text to be shown: each byte that encodes no character becomes U+FFFD.
std::wstring ReadableWide(std::string_view utf8);

// Strict UTF-8: no lone surrogates, no overlong forms, nothing above U+10FFFF.
bool IsUtf8(std::string_view bytes);

// Bytes in the machine's ANSI code page, with no best-fit mapping: each character the code page
// lacks becomes one "?" (one for a surrogate pair, too). `exact` says whether none was needed.
std::string AnsiFromUtf8(std::string_view utf8, bool* exact = nullptr);
std::string Utf8FromAnsi(std::string_view ansi);

// Bytes of the first `units` UTF-16 units of `utf8` (cut before a surrogate pair that does not
// fit whole), for limits the system counts in UTF-16 units.
size_t Utf8PrefixOfUnits(std::string_view utf8, size_t units);

// Length of the longest prefix of `utf8` that does not end inside a character's sequence.
size_t CompleteUtf8Length(std::string_view utf8);

}  // namespace platform
