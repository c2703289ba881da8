#include "engine/platform/posix/temp_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "engine/platform/posix/shared_file_system.h"
#include "engine/platform/temp_name.h"

namespace platform {
namespace {

// An unnamed file is named through its /proc link; without /proc it could never be named.
bool UnnamedFilesCanBeNamed() {
  static const bool can = access("/proc/self/fd", X_OK) == 0;
  return can;
}

std::string ProcLink(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

// rename that never replaces: the bound name of a new inode should be free, but a file of
// that name that is not ours must not be lost for it.
int RenameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
    return 0;
  if (errno != EINVAL && errno != ENOSYS)
    return errno;
  struct stat st;
  if (lstat(to.c_str(), &st) == 0)
    return EEXIST;
  return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// A live temporary file keeps its lock; where the file system has no locks it goes
// unprotected, as it must.
void Lock(int fd) {
  flock(fd, LOCK_EX | LOCK_NB);
}

// Locks the new file at `path` and tells whether the name is still the file's: a cleaner of
// this machine may have taken a name bound to its place for a left-over before the lock was on
// (it holds the lock while it looks, or has removed the name).
bool LockedUnderItsName(int fd, const std::string& path) {
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
    return false;
  struct stat held, named;
  return fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
         held.st_ino == named.st_ino;
}

// `place` is set for a folder on a file system other machines share: there a name must have
// been made in this very place, since the inode's number and lock are this client's own.
void RemoveIfStale(int folder_fd, const char* name, const uint64_t* place) {
  struct stat named, held;
  if (fstatat(folder_fd, name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode)) {
    return;
  }
  if (place != nullptr ? !IsTempNameFor(name, *place)
                       : TempNameFor(static_cast<uint64_t>(named.st_ino)) != name) {
    return;
  }
  // A file we cannot open may be in use for all we know: it stays.
  Fd fd(openat(folder_fd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0)
    return;
  if (flock(fd.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
    return;
  if (fstat(fd.get(), &held) == 0 && fstatat(folder_fd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
      held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
    unlinkat(folder_fd, name, 0);
  }
}

}  // namespace

TempFile::~TempFile() {
  if (!path_.empty())
    unlink(path_.c_str());
  fd_.Reset();
  lock_.Reset();
}

int TempFile::Create(const std::string& folder, mode_t mode) {
  folder_ = folder;
  if (UnnamedFilesCanBeNamed()) {
    int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd >= 0) {
      fd_.Reset(fd);
      unnamed_ = true;
      return 0;
    }
    // Refused by the file system (or a kernel without unnamed files): a named one instead.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
      return errno;
  }
  return CreateNamed(mode);
}

int TempFile::CreateNamed(mode_t mode) {
  // Only the folder's device is wanted, which no cached attribute can get wrong: on a network
  // file system a refresh would cost a round trip per copy, since each copy's rename into the
  // folder makes its attributes stale.
  struct statx folder;
  if (statx(AT_FDCWD, folder_.c_str(), AT_STATX_DONT_SYNC, STATX_TYPE, &folder) != 0)
    return errno;
  const dev_t device = makedev(folder.stx_dev_major, folder.stx_dev_minor);
  if (IsSharedFileSystem(folder_.c_str(), device))
    return CreatePlaced(mode, PlaceOf(device, folder_));
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::string path = folder_ + "/" + NewTempName();
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
      if (errno == EEXIST)
        continue;
      return errno;
    }
    fd_.Reset(fd);
    path_ = path;
    Lock(fd);
    // Bound to its inode before any data goes in, so that a kill leaves a file a later run
    // may remove. Should that name be taken, the file keeps the one it has.
    struct stat st;
    if (fstat(fd, &st) == 0) {
      const std::string bound = folder_ + "/" + TempNameFor(static_cast<uint64_t>(st.st_ino));
      if (RenameNoReplace(path_, bound) == 0)
        path_ = bound;
    }
    return 0;
  }
  return EEXIST;
}

// On a file system other machines share the file is made under a name bound to this place,
// and is flushed on its own before it takes its final name (see shared_file_system.h).
int TempFile::CreatePlaced(mode_t mode, uint64_t place) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::string path = folder_ + "/" + NewTempNameFor(place);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
      if (errno == EEXIST)
        continue;
      return errno;
    }
    fd_.Reset(fd);
    if (!LockedUnderItsName(fd, path)) {
      fd_.Reset();  // the cleaner removes the name, if it has not yet
      continue;
    }
    path_ = path;
    flush_alone_ = true;
    return 0;
  }
  return EEXIST;
}

int TempFile::CommitAs(const std::string& destination) {
  if (flush_alone_ && fsync(fd_.get()) != 0)
    return errno;
  // Closing reports what writing back the data failed to do, so it comes before the name; the
  // second descriptor keeps the file and its lock.
  lock_.Reset(dup(fd_.get()));
  if (lock_.get() < 0)
    return errno;
  if (close(fd_.Release()) != 0)
    return errno;
  if (unnamed_)
    return LinkUnnamed(destination);
  if (rename(path_.c_str(), destination.c_str()) != 0)
    return errno;
  path_.clear();
  return 0;
}

int TempFile::LinkUnnamed(const std::string& destination) {
  // Where nothing has the name yet, the complete file simply gets it.
  int err = LinkAs(destination);
  if (err != EEXIST)
    return err;
  // Otherwise it needs a name of its own beside the destination to be renamed over it; it is
  // locked before it has one.
  Lock(lock_.get());
  struct stat st;
  if (fstat(lock_.get(), &st) != 0)
    return errno;
  std::string name = folder_ + "/" + TempNameFor(static_cast<uint64_t>(st.st_ino));
  err = LinkAs(name);
  for (int attempt = 0; err == EEXIST && attempt < 16; ++attempt) {
    name = folder_ + "/" + NewTempName();
    err = LinkAs(name);
  }
  if (err != 0)
    return err;
  path_ = name;
  if (rename(path_.c_str(), destination.c_str()) != 0)
    return errno;
  path_.clear();
  return 0;
}

int TempFile::LinkAs(const std::string& path) const {
  return linkat(AT_FDCWD, ProcLink(lock_.get()).c_str(), AT_FDCWD, path.c_str(),
                AT_SYMLINK_FOLLOW) == 0
             ? 0
             : errno;
}

void RemoveStaleTemporariesIn(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr)
    return;
  struct stat st;
  if (fstat(dirfd(dir), &st) != 0) {
    closedir(dir);
    return;
  }
  const uint64_t place = PlaceOf(st.st_dev, folder);
  const bool shared = IsSharedFileSystem(dirfd(dir), st.st_dev);
  while (struct dirent* d = readdir(dir)) {
    if (IsTempName(d->d_name))
      RemoveIfStale(dirfd(dir), d->d_name, shared ? &place : nullptr);
  }
  closedir(dir);
}

}  // namespace platform
