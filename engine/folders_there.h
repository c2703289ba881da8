// Which folders of the folder pass stand there already, asked side by side on the scan's lanes
// before the pass makes the missing ones in order: a status call per folder is most of a pass
// over targets that are in step with the source.
#pragma once

#include <string>
#include <vector>

#include "engine/platform/file_system.h"

namespace engine {

// One entry per target and subfolder, targets × sub_folders in that order: 1 where target +
// sub is a folder now (links followed), 0 where it is not, could not be asked, or the target is
// empty. On one lane nothing is asked ahead and every entry is 0. `last_known`, when it holds
// one entry per subfolder, already answers for the last target (the master, from the scan),
// which is then not asked again, on any number of lanes.
std::vector<char> FoldersThere(platform::FileSystem& fs, const std::vector<std::string>& targets,
                               const std::vector<std::string>& sub_folders,
                               const std::vector<char>& last_known);

}  // namespace engine
