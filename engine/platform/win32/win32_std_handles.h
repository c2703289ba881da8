// The standard handles the process was started without: found at its start, recorded, and
// replaced by a handle to NUL (SecureStandardStreams in std_streams.h).
#pragma once

namespace platform {

// ERROR_INVALID_HANDLE for a standard stream (0, 1, 2) that was missing at the start, else 0.
int StdHandleMissingAtStart(int stream);

}  // namespace platform
