// A file system that reads the real one and writes nothing: the dry run. A folder it is asked
// to create counts as existing from then on, so the run goes on exactly as after a real folder
// pass. A write that would fail for a reason the disk already shows (a file where a folder
// must go, a folder where a file must go, a missing destination folder) fails here too; every
// other write reports success.
#pragma once

#include <set>
#include <string>

#include "engine/platform/forwarding_file_system.h"

namespace platform {

class DryRunFileSystem final : public ForwardingFileSystem {
 public:
  using ForwardingFileSystem::ForwardingFileSystem;

  IoResult GetAttributes(const std::string& path, uint32_t* attr) override;
  IoResult MakeFolder(const std::string& path) override;
  IoResult CopyOver(const std::string& from, const std::string& to) override;
  void RemoveStaleTemporaries(const std::string&) override {}
  IoResult WriteProfileString(const std::string&, const std::string&, const std::string&,
                              const std::string&) override {
    return {};
  }
  IoResult ReplaceText(const std::string&, const std::string&) override { return {}; }

 private:
  std::set<std::string> made_folders_;  // repeated "/" collapsed, no trailing "/"
  std::string checked_folder_;          // the destination folder of the latest copy
  IoResult checked_folder_result_;      // why copies into it would fail, if they would
};

}  // namespace platform
