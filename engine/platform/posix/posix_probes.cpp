#include "engine/platform/posix/posix_probes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "engine/platform/posix/posix_io.h"
#include "engine/platform/temp_name.h"

namespace platform {
namespace {

IoResult Refused(const std::string& what, int code, const char* reason = nullptr) {
  IoResult r = Failed(what, code);
  if (reason != nullptr)
    r.message = what + ": " + reason;
  return r;
}

// Making or creating an entry needs write and search permission on its folder: 0, or the
// errno the making would meet (ENOENT when the folder is missing).
int FolderRefusesNewEntries(const std::string& folder) {
  if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0)
    return 0;
  return errno;
}

}  // namespace

IoResult PosixProbeMakeFolder(const std::string& path) {
  const std::string what = "create folder " + path;
  struct stat st;
  // mkdir never follows a link in the last place; what stands there counts as taken unless it
  // leads to a folder, which the real call then accepts.
  if (lstat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode) ||
        (S_ISLNK(st.st_mode) && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) {
      return {};
    }
    return Refused(what, EEXIST);
  }
  if (errno != ENOENT)
    return Refused(what, errno);
  // A parent the disk does not show yet is one the run makes first, and may write into.
  const int refusal = FolderRefusesNewEntries(ParentOf(path));
  if (refusal != 0 && refusal != ENOENT)
    return Refused(what, refusal);
  return {};
}

IoResult PosixProbeCopySource(const std::string& from) {
  const std::string what = "read " + from;
  // As the copy opens it: non-blocking, so a pipe in the file's place cannot stall the run.
  const int fd = open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return Refused(what, errno);
  struct stat st;
  const int err = fstat(fd, &st) == 0 ? 0 : errno;
  close(fd);
  if (err != 0)
    return Refused(what, err);
  if (!S_ISREG(st.st_mode))
    return Refused(what, EINVAL, "not a regular file");
  return {};
}

IoResult PosixProbeCopyFolder(const std::string& to) {
  const std::string folder = ParentOf(to);
  const std::string what = "write into " + folder;
  // The temporary file's own path, so a path too long for it, or a file standing for one of
  // its folders, refuses here exactly as creating it would.
  const std::string temp = folder + "/" + NewTempName();
  struct stat st;
  if (lstat(temp.c_str(), &st) == 0)
    return {};
  if (errno != ENOENT)
    return Refused(what, errno);
  const int refusal = FolderRefusesNewEntries(folder);
  if (refusal != 0)
    return Refused(what, refusal);
  return {};
}

IoResult PosixProbeCopyDestination(const std::string& to) {
  const std::string what = "replace " + to;
  // The rename replaces a link, whatever it leads to, but never a folder.
  struct stat st;
  if (lstat(to.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode))
      return Refused(what, EISDIR);
    return {};
  }
  if (errno == ENAMETOOLONG)
    return Refused(what, errno);
  return {};
}

}  // namespace platform
