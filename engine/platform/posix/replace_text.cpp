#include "engine/platform/posix/replace_text.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>

#include "engine/platform/posix/copy_data.h"
#include "engine/platform/posix/posix_io.h"
#include "engine/platform/posix/temp_file.h"

namespace platform {
namespace {

// Gives the new file the old one's owner, group and permission bits; false where refused.
bool TakeOver(int fd, const struct stat& old) {
  struct stat now;
  if (fstat(fd, &now) != 0)
    return false;
  if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
      fchown(fd, old.st_uid, old.st_gid) != 0) {
    return false;
  }
  // After the owner, whose change clears the set-id bits.
  return fchmod(fd, old.st_mode & 07777) == 0;
}

// Writes the text over the file's own bytes, so its owner, group, mode and other names stay.
// A reader may meet it half written. Returns 0 or the errno.
int WriteInPlace(const std::string& path, const std::string& text) {
  Fd fd(open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0)
    return errno;
  struct stat st;
  if (fstat(fd.get(), &st) != 0)
    return errno;
  if (!S_ISREG(st.st_mode))
    return EINVAL;
  // The room first where the file system can promise it, so a full disk leaves the old text.
  const off_t size = static_cast<off_t>(text.size());
  if (size > st.st_size && fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
      (errno == ENOSPC || errno == EDQUOT)) {
    return errno;
  }
  if (int err = WriteAll(fd.get(), text.data(), text.size()))
    return err;
  if (ftruncate(fd.get(), size) != 0)
    return errno;
  return close(fd.Release()) == 0 ? 0 : errno;
}

}  // namespace

IoResult ReplaceTextFile(const std::string& path, const std::string& text) {
  const std::string what = "write " + path;
  if (path.empty())
    return Failed(what, ENOENT);
  // Write through a link to the file it names, so the link stays a link.
  std::string target = path;
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = realpath(path.c_str(), nullptr)) {
      target = real;
      free(real);
    }
  }
  const bool exists = stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode))
    return Failed(what, EISDIR);
  // A read-only file stays unchanged, also for root, who could write it anyway.
  if (exists && (st.st_mode & S_IWUSR) == 0)
    return Failed(what, EACCES);
  auto in_place = [&] {
    int err = WriteInPlace(target, text);
    return err == 0 ? IoResult{} : Failed(what, err);
  };
  // A new file would part the name from the file's other names.
  if (exists && st.st_nlink > 1)
    return in_place();
  TempFile temp;
  // A new file gets the usual mode through the umask; an existing one keeps its own.
  if (int err = temp.Create(ParentOf(target), exists ? 0600 : 0666)) {
    return exists ? in_place() : Failed(what, err);
  }
  if (int err = WriteAll(temp.fd(), text.data(), text.size()))
    return Failed(what, err);
  if (exists && !TakeOver(temp.fd(), st))
    return in_place();
  if (int err = temp.CommitAs(target)) {
    // A sticky folder lets only the file's owner replace it.
    if (exists && (err == EACCES || err == EPERM))
      return in_place();
    return Failed(what, err);
  }
  return {};
}

}  // namespace platform
