// Setting a file's times from a test, one definition per OS.
#pragma once

#include <string>

namespace testing_support {

// Sets the last-access and last-write times, in seconds since 1970 (UTC). False on failure.
bool SetFileTimes(const std::string& path, long long seconds, long nanoseconds);

}  // namespace testing_support
