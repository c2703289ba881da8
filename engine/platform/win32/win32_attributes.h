// The attributes a file may be given, as SetFileAttributesW and FileBasicInfo take them.
#pragma once

#include <windows.h>

namespace platform {

constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// `attr` less what cannot be set; FILE_ATTRIBUTE_NORMAL for none, since 0 reads as "leave them
// as they are".
inline DWORD Settable(DWORD attr) {
  attr &= kSettableAttributes;
  return attr == 0 ? FILE_ATTRIBUTE_NORMAL : attr;
}

}  // namespace platform
