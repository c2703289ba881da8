// One directory entry as the engine sees it, in the shape of the Windows find data.
#pragma once

#include <cstdint>
#include <string>

namespace engine {

inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrSystem = 0x04;
inline constexpr uint32_t kAttrVolume = 0x08;
inline constexpr uint32_t kAttrFolder = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;

struct FileEntry {
  uint32_t Time = 0;  // last-write time in local time as an MS-DOS date-time (date high, time low)
  uint32_t Size = 0;  // low 32 bits of the size; 0 for a folder
  uint32_t Attr = 0;  // Windows attribute bits
  uint32_t SizeHigh = 0;  // the size's upper 32 bits, for byte counts only; never compared
  std::string Name;       // the entry's name; in the copy list the full source path
};

inline uint64_t FullSize(const FileEntry& entry) {
  return (uint64_t{entry.SizeHigh} << 32) | entry.Size;
}

}  // namespace engine
