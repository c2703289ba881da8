// The file system on Linux and other POSIX systems: directory reads and status calls relative
// to an open folder, copies inside the kernel, each given its name only once it is complete.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <thread>

#include "engine/ini_text.h"
#include "engine/platform/file_system.h"
#include "engine/platform/posix/copy_data.h"
#include "engine/platform/posix/local_dos_time.h"
#include "engine/platform/posix/posix_io.h"
#include "engine/platform/posix/posix_probes.h"
#include "engine/platform/posix/replace_text.h"
#include "engine/platform/posix/temp_file.h"
#include "engine/wildcard.h"

namespace platform {
namespace {

uint32_t AttributesOf(const struct stat& st, const char* name) {
  uint32_t attr = 0;
  if (S_ISDIR(st.st_mode)) attr |= engine::kAttrFolder;
  if (S_ISREG(st.st_mode)) attr |= engine::kAttrArchive;
  if ((st.st_mode & S_IWUSR) == 0) attr |= engine::kAttrReadOnly;
  if (name[0] == '.' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) {
    attr |= engine::kAttrHidden;
  }
  return attr;
}

engine::FileEntry EntryOf(const struct stat& st, const char* name) {
  engine::FileEntry e;
  e.Time = LocalDosTime(st.st_mtim.tv_sec);
  e.Size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint32_t>(st.st_size);
  e.Attr = AttributesOf(st, name);
  e.Name = name;
  return e;
}

SourceStamp StampOf(const struct stat& st) {
  const uint64_t parts[] = {
      static_cast<uint64_t>(st.st_dev),          static_cast<uint64_t>(st.st_ino),
      static_cast<uint64_t>(st.st_size),         static_cast<uint64_t>(st.st_mtim.tv_sec),
      static_cast<uint64_t>(st.st_mtim.tv_nsec), static_cast<uint64_t>(st.st_ctim.tv_sec),
      static_cast<uint64_t>(st.st_ctim.tv_nsec)};
  uint64_t h = 0xcbf29ce484222325ull;
  for (uint64_t part : parts) {
    h ^= part;
    h *= 0x100000001b3ull;
    h ^= h >> 31;
  }
  return h == 0 ? 1 : h;
}

std::string BaseName(const std::string& path) {
  size_t cut = path.rfind('/');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

mode_t ProcessUmask() {
  static const mode_t mask = [] {
    mode_t m = umask(0);
    umask(m);
    return m;
  }();
  return mask;
}

class PosixFileSystem final : public FileSystem {
 public:
  ~PosixFileSystem() override { EndLookups(); }

  void BeginRun() override { TakeCurrentLocalOffset(); }

  IoResult ListFolder(const std::string& folder, const std::string& mask, bool with_subfolders,
                      FolderListing* listing) override {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return Failed("list " + folder, errno);
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
      if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
      const bool maybe_folder = d->d_type == DT_DIR || d->d_type == DT_LNK ||
                                d->d_type == DT_UNKNOWN;
      const bool maybe_file = d->d_type == DT_REG || d->d_type == DT_LNK ||
                              d->d_type == DT_UNKNOWN;
      const bool wanted_file =
          maybe_file && !mask.empty() && (every_name || engine::MatchesMask(mask, name));
      if (!(maybe_folder && with_subfolders) && !wanted_file) continue;
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
              {name, AttributesOf(st, name),
               {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)}});
        }
      } else if (S_ISREG(st.st_mode) && wanted_file) {
        listing->files.push_back(EntryOf(st, name));
      }
    }
    int err = errno;
    closedir(dir);
    if (err != 0) return Failed("list " + folder, err);
    return {};
  }

  bool FindEntry(const std::string& folder, const std::string& name,
                 engine::FileEntry* entry) override {
    if (!lookup_open_ || folder != lookup_folder_) {
      lookup_fd_.Reset(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
      lookup_folder_ = folder;
      lookup_open_ = true;
    }
    if (lookup_fd_.get() < 0) return false;
    struct stat st;
    if (fstatat(lookup_fd_.get(), name.c_str(), &st, 0) != 0) return false;
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return false;
    *entry = EntryOf(st, name.c_str());
    return true;
  }

  void EndLookups() override {
    lookup_fd_.Reset();
    lookup_open_ = false;
    lookup_folder_.clear();
  }

  IoResult GetAttributes(const std::string& path, uint32_t* attr) override {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return Failed("status " + path, errno);
    *attr = AttributesOf(st, BaseName(path).c_str());
    return {};
  }

  IoResult GetFolderId(const std::string& path, FolderId* id) override {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return Failed("status " + path, errno);
    if (!S_ISDIR(st.st_mode)) return Failed("status " + path, ENOTDIR);
    *id = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    return {};
  }

  IoResult MakeFolder(const std::string& path) override {
    if (mkdir(path.c_str(), 0777) == 0) return {};
    int err = errno;
    struct stat st;
    if (err == EEXIST && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return {};
    return Failed("create folder " + path, err);
  }

  IoResult CopyOver(const std::string& from, const std::string& to, SourceStamp expected,
                    SourceStamp* copied) override {
    const std::string what = "copy " + from + " -> " + to;
    // Non-blocking, so a pipe put in the file's place cannot stall the run.
    Fd source(open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (source.get() < 0) return Failed(what, errno);
    struct stat st;
    if (fstat(source.get(), &st) != 0) return Failed(what, errno);
    if (!S_ISREG(st.st_mode)) {
      IoResult r = Failed(what, EINVAL);
      r.message = what + ": not a regular file";
      return r;
    }
    *copied = StampOf(st);
    if (expected != 0 && *copied != expected) {
      IoResult r = Failed(what, EAGAIN);
      r.message = what + ": the file changed during the run";
      return r;
    }
    TempFile temp;
    // Created with its final permission bits where the umask keeps them, else fixed below; and
    // readable to its owner meanwhile, so a run may clean it up if this one is killed.
    const mode_t mode = st.st_mode & 0777;
    const bool exact = (mode & ~ProcessUmask()) == mode && (mode & S_IRUSR) != 0;
    if (int err = temp.Create(ParentOf(to), exact ? mode : 0600)) return Failed(what, err);
    static thread_local CopyBuffer buffer;  // copies run on several threads at once
    if (int err = CopyData(source.get(), temp.fd(), st.st_size, buffer)) return Failed(what, err);
    if (!exact && fchmod(temp.fd(), mode) != 0) return Failed(what, errno);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (futimens(temp.fd(), times) != 0) return Failed(what, errno);
    if (int err = temp.CommitAs(to)) return Failed(what, err);
    return {};
  }

  // Copies are mostly kernel work on page-cache pages, which spreads over the processors.
  int ParallelCopies() const override {
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
  }

  void RemoveStaleTemporaries(const std::string& folder) override {
    RemoveStaleTemporariesIn(folder);
  }

  void FlushFolders(const std::vector<std::string>& folders,
                    std::vector<std::string>* failures) override {
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
      if (std::find(flushed.begin(), flushed.end(), st.st_dev) != flushed.end()) continue;
      flushed.push_back(st.st_dev);
      Fd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
      if (fd.get() < 0 || syncfs(fd.get()) != 0) {
        failures->push_back(Failed("flush " + folder, errno).message);
      }
    }
  }

  IoResult ProbeMakeFolder(const std::string& path) override { return PosixProbeMakeFolder(path); }
  IoResult ProbeCopySource(const std::string& from) override { return PosixProbeCopySource(from); }
  IoResult ProbeCopyFolder(const std::string& to) override { return PosixProbeCopyFolder(to); }
  IoResult ProbeCopyDestination(const std::string& to) override {
    return PosixProbeCopyDestination(to);
  }

  std::string ReadProfileString(const std::string& path, const std::string& section,
                                const std::string& key, const std::string& default_text) override {
    std::string text;
    if (!ReadText(path, &text).ok()) return default_text;
    return engine::FindIniValue(text, section, key).value_or(default_text);
  }

  IoResult WriteProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& value) override {
    std::string text;
    IoResult read = ReadText(path, &text);
    if (!read.ok() && !read.not_found) return read;
    return ReplaceText(path, engine::SetIniValue(text, section, key, value));
  }

  IoResult ReadText(const std::string& path, std::string* text) override {
    const std::string what = "read " + path;
    if (path.empty()) return Failed(what, ENOENT);
    Fd fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) return Failed(what, errno);
    struct stat st;
    if (fstat(fd.get(), &st) != 0) return Failed(what, errno);
    if (S_ISDIR(st.st_mode)) return Failed(what, EISDIR);
    if (!S_ISREG(st.st_mode)) {
      IoResult r = Failed(what, EINVAL);
      r.message = what + ": not a regular file";
      return r;
    }
    if (st.st_size > kMaxTextSize) return Failed(what, EFBIG);
    text->clear();
    char chunk[16384];
    for (;;) {
      ssize_t n = read(fd.get(), chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return Failed(what, errno);
      if (n == 0) break;
      text->append(chunk, static_cast<size_t>(n));
      if (text->size() > static_cast<size_t>(kMaxTextSize)) return Failed(what, EFBIG);
    }
    return {};
  }

  IoResult ReplaceText(const std::string& path, const std::string& text) override {
    return ReplaceTextFile(path, text);
  }

  IoResult WorkingFolder(std::string* folder) override {
    std::string buffer(4096, '\0');
    for (;;) {
      if (getcwd(buffer.data(), buffer.size()) != nullptr) {
        buffer.resize(std::strlen(buffer.c_str()));
        *folder = buffer;
        return {};
      }
      if (errno != ERANGE || buffer.size() > (1u << 20)) {
        return Failed("find the current folder", errno);
      }
      buffer.resize(buffer.size() * 2);
    }
  }

 private:
  static constexpr off_t kMaxTextSize = 64 << 20;

  std::string lookup_folder_;
  Fd lookup_fd_;
  bool lookup_open_ = false;
};

}  // namespace

FileSystem& DefaultFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

}  // namespace platform
