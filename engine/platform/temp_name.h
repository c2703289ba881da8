// Names of the temporary files that copies and settings writes go through:
// ".~parlowen-<16 hex digits>.tmp". The pattern is reserved: a run never takes a file of that
// name for a source file, and removes one only when its digits are those of its own identity.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// A name of the pattern with random digits, for a file whose identity is not known yet.
std::string NewTempName();
// The name bound to a file's identity (its inode or file index): the digits are a fixed,
// one-to-one mix of it, so no other file's identity gives the same name.
std::string TempNameFor(uint64_t identity);
// A name of the pattern for a file made in one place (a folder, on one mount, of one running
// system; `place` a mix of those): half its digits are random, the other half a mix of them
// with the place, so the place can tell its own names from any other's without a file's
// identity, which a file system shared between machines may not keep.
std::string NewTempNameFor(uint64_t place);
bool IsTempNameFor(std::string_view name, uint64_t place);
bool IsTempName(std::string_view name);

}  // namespace platform
