#include "engine/platform/posix/posix_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

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
  engine::FileEntry e = UnnamedEntryOf(st, name);
  e.Name = name;
  return e;
}

engine::FileEntry UnnamedEntryOf(const struct stat& st, const char* name) {
  engine::FileEntry e;
  e.Time = LocalDosTime(st.st_mtim.tv_sec);
  const uint64_t size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
  e.Size = static_cast<uint32_t>(size);
  e.SizeHigh = static_cast<uint32_t>(size >> 32);
  e.Attr = AttributesOf(st, name);
  return e;
}

IoResult ListFolderEntries(const std::string& folder, const std::string& mask, bool with_subfolders,
                           FolderListing* listing) {
  Fd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0)
    return Failed("list " + folder, errno);
  const bool every_name = engine::MaskMatchesEverything(mask);
  struct stat st;
  // The directory is read straight into this buffer: the C library's stream would first ask
  // for the folder's status and flags, two calls per folder that a scan of small folders feels.
  alignas(struct dirent64) char buffer[32 * 1024];
  for (;;) {
    const ssize_t got = getdents64(fd.get(), buffer, sizeof buffer);
    if (got == 0)
      return {};
    if (got < 0) {
      if (errno == EINTR)
        continue;
      return Failed("list " + folder, errno);
    }
    for (ssize_t at = 0; at < got;) {
      const auto* d = reinterpret_cast<const struct dirent64*>(buffer + at);
      at += d->d_reclen;
      const char* name = d->d_name;
      if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
        continue;
      const bool maybe_folder =
          d->d_type == DT_DIR || d->d_type == DT_LNK || d->d_type == DT_UNKNOWN;
      const bool maybe_file = d->d_type == DT_REG || d->d_type == DT_LNK || d->d_type == DT_UNKNOWN;
      const bool wanted_file =
          maybe_file && !mask.empty() && (every_name || engine::MatchesMask(mask, name));
      if (!(maybe_folder && with_subfolders) && !wanted_file)
        continue;
      // Links are followed; whatever is neither a file nor a folder then is left out, and so
      // are dangling links and entries gone since the read. Any other refusal is reported.
      if (fstatat(fd.get(), name, &st, 0) != 0) {
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
  }
}

void FindEntriesIn(const std::string& folder, const std::vector<engine::FileEntry>& like,
                   std::vector<FoundEntry>* found) {
  found->assign(like.size(), {});
  if (like.empty())
    return;
  // One open folder for all the names, so each lookup is one step from it.
  Fd fd(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0)
    return;
  struct stat st;
  for (size_t i = 0; i < like.size(); ++i) {
    const char* name = like[i].Name.c_str();
    if (fstatat(fd.get(), name, &st, 0) != 0 || !(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)))
      continue;
    (*found)[i] = {true, UnnamedEntryOf(st, name)};
  }
}

}  // namespace platform
