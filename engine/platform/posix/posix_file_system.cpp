// The file system on Linux and other POSIX systems: directory reads and status calls relative
// to an open folder, copies inside the kernel, each given its name only once it is complete.
// The larger pieces live beside it: listings, copies and flushes, temporary files, settings
// texts, and the dry run's probes.
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
#include "engine/platform/posix/local_dos_time.h"
#include "engine/platform/posix/posix_copy.h"
#include "engine/platform/posix/posix_io.h"
#include "engine/platform/posix/posix_listing.h"
#include "engine/platform/posix/posix_probes.h"
#include "engine/platform/posix/read_text.h"
#include "engine/platform/posix/replace_text.h"
#include "engine/platform/posix/shared_file_system.h"
#include "engine/platform/posix/temp_file.h"

namespace platform {
namespace {

std::string BaseName(const std::string& path) {
  size_t cut = path.rfind('/');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

class PosixFileSystem final : public FileSystem {
 public:
  void BeginRun() override { TakeCurrentLocalOffset(); }

  IoResult ListFolder(const std::string& folder, const std::string& mask, bool with_subfolders,
                      FolderListing* listing) override {
    return ListFolderEntries(folder, mask, with_subfolders, listing);
  }

  bool FindEntry(const std::string& folder, const std::string& name,
                 engine::FileEntry* entry) override {
    std::vector<engine::FileEntry> like(1);
    like[0].Name = name;
    std::vector<FoundEntry> found;
    FindEntriesIn(folder, like, &found);
    if (!found[0].found)
      return false;
    *entry = std::move(found[0].entry);
    entry->Name = name;
    return true;
  }

  void FindEntries(const std::string& folder, const std::vector<engine::FileEntry>& like,
                   std::vector<FoundEntry>* found) override {
    FindEntriesIn(folder, like, found);
  }

  // The scan's status calls are kernel work on cached entries, which spreads over the
  // processors; listings and lookups keep no state here.
  int ParallelScans() const override { return ParallelCopies(); }

  IoResult GetAttributes(const std::string& path, uint32_t* attr) override {
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
      return Failed("status " + path, errno);
    *attr = AttributesOf(st, BaseName(path).c_str());
    return {};
  }

  IoResult GetFolderId(const std::string& path, FolderId* id) override {
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
      return Failed("status " + path, errno);
    if (!S_ISDIR(st.st_mode))
      return Failed("status " + path, ENOTDIR);
    *id = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    return {};
  }

  IoResult MakeFolder(const std::string& path) override {
    if (mkdir(path.c_str(), 0777) == 0)
      return {};
    int err = errno;
    struct stat st;
    if (err == EEXIST && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
      return {};
    return Failed("create folder " + path, err);
  }

  IoResult CopyOver(const std::string& from, const std::string& to, SourceStamp expected,
                    SourceStamp* copied) override {
    return CopyOverAtomically(from, to, expected, copied);
  }

  // Copies are mostly kernel work on page-cache pages, which spreads over the processors.
  int ParallelCopies() const override {
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
  }

  bool WaitsOnNetwork(const std::string& folder) override {
    struct stat st;
    return stat(folder.c_str(), &st) == 0 && IsSharedFileSystem(folder.c_str(), st.st_dev);
  }

  void RemoveStaleTemporaries(const std::string& folder) override {
    RemoveStaleTemporariesIn(folder);
  }

  void FlushFolders(const std::vector<std::string>& folders,
                    std::vector<std::string>* failures) override {
    FlushFileSystemsOf(folders, failures);
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
    if (!ReadText(path, &text).ok())
      return default_text;
    return engine::FindIniValue(text, section, key).value_or(default_text);
  }

  IoResult WriteProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& value) override {
    std::string text;
    IoResult read = ReadText(path, &text);
    if (!read.ok() && !read.not_found)
      return read;
    return ReplaceText(path, engine::SetIniValue(text, section, key, value));
  }

  IoResult ReadText(const std::string& path, std::string* text) override {
    return ReadTextFile(path, text);
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
};

}  // namespace

FileSystem& DefaultFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

}  // namespace platform
