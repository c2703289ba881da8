#include "engine/platform/posix/posix_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/platform/posix/local_dos_time.h"
#include "engine/platform/posix/posix_io.h"
#include "engine/wildcard.h"

namespace platform {

uint32_t AttributesOf(const struct stat& st, const char* name) {
  uint32_t attr = 0;
  if (S_ISDIR(st.st_mode))
    attr |= engine::kAttrFolder;
  if (S_ISREG(st.st_mode))
    attr |= engine::kAttrArchive;
  if ((st.st_mode & S_IWUSR) == 0)
    attr |= engine::kAttrReadOnly;
  if (name[0] == '.' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) {
    attr |= engine::kAttrHidden;
  }
  return attr;
}

engine::FileEntry EntryOf(const struct stat& st, const char* name) {
  engine::FileEntry e;
  e.Time = LocalDosTime(st.st_mtim.tv_sec);
  const uint64_t size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
  e.Size = static_cast<uint32_t>(size);
  e.SizeHigh = static_cast<uint32_t>(size >> 32);
  e.Attr = AttributesOf(st, name);
  e.Name = name;
  return e;
}

IoResult ListFolderEntries(const std::string& folder, const std::string& mask, bool with_subfolders,
                           FolderListing* listing) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return Failed("list " + folder, errno);
  DIR* dir = fdopendir(fd);
  if (dir == nullptr) {
    int err = errno;
    close(fd);
    return Failed("list " + folder, err);
  }
  const bool every_name = engine::MaskMatchesEverything(mask);
  struct stat st;
  // readdir tells its failure only through errno, so clear it before every call: a failed
  // fstatat of a dangling link must not pass for a failed listing.
  while (struct dirent* d = (errno = 0, readdir(dir))) {
    const char* name = d->d_name;
    if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
      continue;
    const bool maybe_folder = d->d_type == DT_DIR || d->d_type == DT_LNK || d->d_type == DT_UNKNOWN;
    const bool maybe_file = d->d_type == DT_REG || d->d_type == DT_LNK || d->d_type == DT_UNKNOWN;
    const bool wanted_file =
        maybe_file && !mask.empty() && (every_name || engine::MatchesMask(mask, name));
    if (!(maybe_folder && with_subfolders) && !wanted_file)
      continue;
    // Links are followed; whatever is neither a file nor a folder then is left out, and so
    // are dangling links and entries gone since the read. Any other refusal is reported.
    if (fstatat(dirfd(dir), name, &st, 0) != 0) {
      if (errno != ENOENT && errno != ELOOP) {
        listing->failures.push_back(Failed("status " + folder + "/" + name, errno).message);
      }
      continue;
    }
    if (S_ISDIR(st.st_mode)) {
      if (with_subfolders) {
        listing->subfolders.push_back(
            {name,
             AttributesOf(st, name),
             {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)}});
      }
    } else if (S_ISREG(st.st_mode) && wanted_file) {
      listing->files.push_back(EntryOf(st, name));
    }
  }
  int err = errno;
  closedir(dir);
  if (err != 0)
    return Failed("list " + folder, err);
  return {};
}

}  // namespace platform
