// The stamp a copy notes of its source, so the run can tell whether two copies of one file were
// made of the same version.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace platform {

// Differs whenever a file's identity, size, last-write time or change time differs, so two
// copies of a file carry the same stamp only when the file did not change between them.
// 0 stands for "not known".
using SourceStamp = uint64_t;

// Mixes the parts that describe one version of a file (each OS has its own) into a stamp.
inline SourceStamp StampOfParts(std::initializer_list<uint64_t> parts) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (uint64_t part : parts) {
    h ^= part;
    h *= 0x100000001b3ull;
    h ^= h >> 31;
  }
  return h == 0 ? 1 : h;
}

}  // namespace platform
