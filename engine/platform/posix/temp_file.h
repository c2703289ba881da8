// The file a copy or a settings write is made in before it takes its final name. Where the
// file system allows, the file has no name at all until it is complete; elsewhere it has one
// of the reserved temporary names, bound to its inode as soon as it exists (on a file system
// other machines share: to the folder, mount and system it is made in, and it is flushed on
// its own before it takes its final name). A file under a temporary name is locked (flock)
// while in use, so a cleaner can tell it from one that a killed run left behind.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

#include "engine/platform/posix/posix_io.h"

namespace platform {

class TempFile {
 public:
  TempFile() = default;
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  // Removes the file unless it was committed.
  ~TempFile();

  // Creates the file in `folder` with `mode` (less the umask). Returns 0 or the errno.
  int Create(const std::string& folder, mode_t mode);
  int fd() const { return fd_.get(); }
  // Gives the complete file the name `destination`, replacing whatever has it, in one step.
  // Returns 0 or the errno; on failure `destination` is as it was.
  int CommitAs(const std::string& destination);

 private:
  int CreateNamed(mode_t mode);
  int CreatePlaced(mode_t mode, uint64_t place);
  int LinkUnnamed(const std::string& destination);
  int LinkAs(const std::string& path) const;

  std::string folder_;
  std::string path_;  // the file's temporary name while it has one
  bool unnamed_ = false;
  bool flush_alone_ = false;  // flushed before it takes its name
  Fd fd_;
  Fd lock_;  // keeps the lock once fd_ is closed, until the temporary name is gone
};

// Removes the temporary files in `folder` that are provably left behind: a plain file whose
// name is the one bound to its own inode (on a file system other machines share: a name made
// in this folder through this mount of this running system), and whose lock nobody holds.
// Anything else of the pattern (a user's file, a copy of one made by another tool, another
// machine's) stays.
void RemoveStaleTemporariesIn(const std::string& folder);

}  // namespace platform
