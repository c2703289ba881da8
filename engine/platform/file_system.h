// The engine's only door to the operating system. One real implementation per OS, picked by
// CMake; the calls are shaped after the Windows file and profile functions the engine was
// designed around, so each maps onto one or two of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/file_entry.h"

namespace platform {

struct IoResult {
  int os_code = 0;         // errno (POSIX) or GetLastError() (Win32); 0 = success
  bool not_found = false;  // the path or one of its folders does not exist
  bool no_space = false;   // the file system or the user's quota is full
  std::string message;     // "<operation> <path>: <OS text>"
  bool ok() const { return os_code == 0; }
};

// Identifies a folder on its device, so the scan can recognise a folder it reaches twice.
struct FolderId {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator==(const FolderId&) const = default;
};

// Differs whenever a file's identity, size, last-write time or change time differs, so two
// copies of a file carry the same stamp only when the file did not change between them.
// 0 stands for "not known".
using SourceStamp = uint64_t;

struct Subfolder {
  std::string name;
  uint32_t attr = 0;
  FolderId id;
};

struct FolderListing {
  std::vector<Subfolder> subfolders;    // every folder entry except "." and ".."
  std::vector<engine::FileEntry> files;  // entries that are not folders, matching the mask
  std::vector<std::string> failures;     // entries that are there but could not be examined
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Lists `folder` in the OS's enumeration order (the "folder/*.*" search for subfolders when
  // `with_subfolders`, and the "folder/mask" search for files). An empty mask lists no files.
  // Entries that are neither files nor folders after following links are left out.
  virtual IoResult ListFolder(const std::string& folder, const std::string& mask,
                              bool with_subfolders, FolderListing* listing) = 0;

  // The single-entry search for folder + "/" + name. False when nothing usable is there.
  virtual bool FindEntry(const std::string& folder, const std::string& name,
                         engine::FileEntry* entry) = 0;
  // Drops whatever FindEntry keeps between calls (an open folder).
  virtual void EndLookups() {}

  virtual IoResult GetAttributes(const std::string& path, uint32_t* attr) = 0;
  virtual IoResult GetFolderId(const std::string& path, FolderId* id) = 0;
  virtual IoResult MakeFolder(const std::string& path) = 0;

  // Replaces `to` atomically with the content, last-write time and permission bits of `from`,
  // also when `to` is read-only; on failure `to` is as it was and nothing is left behind.
  virtual IoResult CopyOver(const std::string& from, const std::string& to) = 0;
  // CopyOver that also gives the stamp of the source it copied, and refuses the copy, leaving
  // `to` as it was, when `expected` is not 0 and the source no longer has that stamp.
  // Implementations that cannot tell give 0 and never refuse.
  virtual IoResult CopyOverStamped(const std::string& from, const std::string& to,
                                   SourceStamp expected, SourceStamp* copied) {
    (void)expected;
    *copied = 0;
    return CopyOver(from, to);
  }
  // How many copies may run at once, each on its own thread. Above 1, CopyOverStamped and
  // RemoveStaleTemporaries must be safe to call from several threads together.
  virtual int ParallelCopies() const { return 1; }
  // Removes temporary files that an interrupted copy into `folder` left behind, and no other.
  virtual void RemoveStaleTemporaries(const std::string& folder) = 0;
  // Makes every copy made into these folders durable, one flush per file system they lie on,
  // before the master records them. Appends a message per flush that failed. Implementations
  // that cannot flush, or need not, do nothing.
  virtual void FlushFolders(const std::vector<std::string>& folders,
                            std::vector<std::string>* failures) {
    (void)folders;
    (void)failures;
  }

  // The private-profile pair, one complete access to the file per call. The lookup gives the
  // value as the profile rules read it, or `default_text` when the file, section or key is missing.
  virtual std::string ReadProfileString(const std::string& path, const std::string& section,
                                        const std::string& key,
                                        const std::string& default_text) = 0;
  virtual IoResult WriteProfileString(const std::string& path, const std::string& section,
                                      const std::string& key, const std::string& value) = 0;

  virtual IoResult ReadText(const std::string& path, std::string* text) = 0;
  // Replaces the whole file, atomically where that keeps the file as it was but for its text
  // (its owner, group, mode and other names); otherwise writes it in place. Refused for an
  // empty path, a folder, a missing parent folder and an existing file that is read-only.
  virtual IoResult ReplaceText(const std::string& path, const std::string& text) = 0;

  virtual IoResult WorkingFolder(std::string* folder) = 0;
};

FileSystem& DefaultFileSystem();  // defined by the platform's implementation

}  // namespace platform
