// Failure results of Windows calls, with the system's own text for the error code.
#pragma once

#include <windows.h>

#include <string>

#include "engine/platform/file_system.h"

namespace platform {

// The system's text for `code` in UTF-8, without the trailing line break; "error <n>" when the
// system has none.
std::string SystemMessage(DWORD code);

// "<what>: <system text>". A zero code (a call that failed without saying why) counts as a
// general failure, so the result never reads as success.
IoResult Win32Failure(const std::string& what, DWORD code);

}  // namespace platform
