// Copies on POSIX: each is made in a temporary file and given its name only once complete, and
// the flush that makes the copies durable before the master records them.
#pragma once

#include <string>
#include <vector>

#include "engine/platform/file_system.h"

namespace platform {

// FileSystem::CopyOver on POSIX; the stamp covers the source's identity, size and exact times.
// An input/output error may pass when the source or the destination lies on a network file
// system.
IoResult CopyOverAtomically(const std::string& from, const std::string& to, SourceStamp expected,
                            SourceStamp* copied);

// True when `path` lies on a file system whose data is on another machine (NFS, SMB, FUSE such
// as sshfs, 9P, Ceph, AFS, Coda, NCP).
bool OnNetworkFileSystem(const std::string& path);

// FileSystem::FlushFolders on POSIX: one syncfs per file system the folders lie on.
void FlushFileSystemsOf(const std::vector<std::string>& folders,
                        std::vector<std::string>* failures);

}  // namespace platform
