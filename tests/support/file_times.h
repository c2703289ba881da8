// A file's times and permission bits, seen from a test; one definition per OS.
#pragma once

#include <string>

namespace testing_support {

// Sets the last-access and last-write times, in seconds since 1970 (UTC). False on failure.
bool SetFileTimes(const std::string& path, long long seconds, long nanoseconds);

// The last-write time as "seconds.nanoseconds" since 1970, or "missing".
std::string WriteTimeText(const std::string& path);

// The permission bits (07777), or 0xFFFFFFFF when nothing is there. On Windows: 0666, or 0444
// for a read-only file.
unsigned PermissionBits(const std::string& path);

}  // namespace testing_support
