#include "engine/platform/posix/posix_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "engine/platform/posix/copy_data.h"
#include "engine/platform/posix/posix_io.h"
#include "engine/platform/posix/shared_file_system.h"
#include "engine/platform/posix/temp_file.h"

namespace platform {
namespace {

SourceStamp StampOf(const struct stat& st) {
  return StampOfParts({static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
                       static_cast<uint64_t>(st.st_size), static_cast<uint64_t>(st.st_mtim.tv_sec),
                       static_cast<uint64_t>(st.st_mtim.tv_nsec),
                       static_cast<uint64_t>(st.st_ctim.tv_sec),
                       static_cast<uint64_t>(st.st_ctim.tv_nsec)});
}

mode_t ProcessUmask() {
  static const mode_t mask = [] {
    mode_t m = umask(0);
    umask(m);
    return m;
  }();
  return mask;
}

IoResult CopyOnce(const std::string& from, const std::string& to, SourceStamp expected,
                  SourceStamp* copied) {
  const std::string what = "copy " + from + " -> " + to;
  // Non-blocking, so a pipe put in the file's place cannot stall the run.
  Fd source(open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (source.get() < 0)
    return Failed(what, errno);
  struct stat st;
  if (fstat(source.get(), &st) != 0)
    return Failed(what, errno);
  if (!S_ISREG(st.st_mode)) {
    IoResult r = Failed(what, EINVAL);
    r.message = what + ": not a regular file";
    return r;
  }
  *copied = StampOf(st);
  if (expected != 0 && *copied != expected) {
    IoResult r = Failed(what, EAGAIN);
    r.message = what + ": the file changed during the run";
    r.may_pass = false;  // another try would hand out a version the first target lacks
    return r;
  }
  TempFile temp;
  // Created with its final permission bits where the umask keeps them, else fixed below; and
  // readable to its owner meanwhile, so a run may clean it up if this one is killed.
  const mode_t mode = st.st_mode & 0777;
  const bool exact = (mode & ~ProcessUmask()) == mode && (mode & S_IRUSR) != 0;
  if (int err = temp.Create(ParentOf(to), exact ? mode : 0600))
    return Failed(what, err);
  static thread_local CopyBuffer buffer;  // copies run on several threads at once
  if (int err = CopyData(source.get(), temp.fd(), st, buffer))
    return Failed(what, err);
  if (!exact && fchmod(temp.fd(), mode) != 0)
    return Failed(what, errno);
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  if (futimens(temp.fd(), times) != 0)
    return Failed(what, errno);
  if (int err = temp.CommitAs(to))
    return Failed(what, err);
  return {};
}

}  // namespace

// An I/O error there is mostly the network's and may pass. FUSE counts, as sshfs is one.
bool OnNetworkFileSystem(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && IsSharedFileSystem(path.c_str(), st.st_dev);
}

IoResult CopyOverAtomically(const std::string& from, const std::string& to, SourceStamp expected,
                            SourceStamp* copied) {
  IoResult result = CopyOnce(from, to, expected, copied);
  if (result.os_code == EIO && (OnNetworkFileSystem(ParentOf(to)) || OnNetworkFileSystem(from)))
    result.may_pass = true;
  return result;
}

void FlushFileSystemsOf(const std::vector<std::string>& folders,
                        std::vector<std::string>* failures) {
  std::vector<dev_t> flushed;
  for (const std::string& folder : folders) {
    struct stat st;
    if (stat(folder.c_str(), &st) != 0) {
      // A folder gone since took its copies with it: nothing of it to keep.
      if (errno != ENOENT && errno != ENOTDIR) {
        failures->push_back(Failed("flush " + folder, errno).message);
      }
      continue;
    }
    if (std::find(flushed.begin(), flushed.end(), st.st_dev) != flushed.end())
      continue;
    flushed.push_back(st.st_dev);
    Fd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0 || syncfs(fd.get()) != 0) {
      failures->push_back(Failed("flush " + folder, errno).message);
    }
  }
}

}  // namespace platform
