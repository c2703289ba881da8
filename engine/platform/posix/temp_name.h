// Names of the temporary files that copies and settings writes go through. They are
// recognisable, so a later run can remove what an interrupted one left behind.
#pragma once

#include <string>

namespace platform {

std::string NewTempName();
bool IsTempName(const char* name);

}  // namespace platform
