// File systems that other machines may use at the same time: network file systems (NFS, SMB,
// sshfs and others through FUSE). There an inode number is the client's own (sshfs numbers
// files per mount) and a lock is seen by this client alone, so neither can tell one machine's
// temporary file from another's; and flushing the whole file system (syncfs) does not reach
// the server's disk, while a flush of each file does.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>

namespace platform {

// Whether the file system of `fd`, or `path`, which lies on device `device`, is such a one.
// The file system is asked once per device: every copy into it asks.
bool IsSharedFileSystem(int fd, dev_t device);
bool IsSharedFileSystem(const char* path, dev_t device);

// One folder on one mount of this running system, where a temporary file is made: told by
// this system's boot, the mount's device and the folder's path with repeated and trailing
// separators dropped. Not by the folder's inode: a client may number a folder anew after a
// lost connection (sshfs does).
uint64_t PlaceOf(dev_t device, const std::string& folder);

}  // namespace platform
