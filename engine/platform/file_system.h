// The engine's only door to the operating system. One real implementation per OS, picked by
// CMake; the calls are shaped after the Windows file and profile functions the engine was
// designed around, so each maps onto one or two of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/file_entry.h"
#include "engine/platform/source_stamp.h"

namespace platform {

struct IoResult {
  int os_code = 0;         // errno (POSIX) or GetLastError() (Win32); 0 = success
  bool not_found = false;  // the path or one of its folders does not exist
  bool no_space = false;   // the file system or the user's quota is full
  // The cause may pass by itself: a file locked or busy, a full disk, a network file system
  // that lost its server for a moment. Never set for a source that changed during the run.
  bool may_pass = false;
  std::string message;  // "<operation> <path>: <OS text>"
  bool ok() const { return os_code == 0; }
};

// Identifies a folder on its device, so the scan can recognise a folder it reaches twice.
struct FolderId {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator==(const FolderId&) const = default;
};

struct Subfolder {
  std::string name;
  uint32_t attr = 0;
  FolderId id;
};

// What the single-entry search found for one name, if anything.
struct FoundEntry {
  bool found = false;
  engine::FileEntry entry;
};

struct FolderListing {
  std::vector<Subfolder> subfolders;     // every folder entry except "." and ".."
  std::vector<engine::FileEntry> files;  // entries that are not folders, matching the mask
  std::vector<std::string> failures;     // entries that are there but could not be examined
};

// Paths are passed as the engine built them: repeated separators and "." read as the OS reads
// them, and every message names the path as passed. A failure's message is "<operation>
// <path>: <reason>"; not_found is set when the path, or a folder on its way, is missing.
//
// Threads: a run calls everything from the thread it runs on, with two exceptions. While its
// scan examines folders side by side (ParallelScans above 1), ListFolder and FindEntries may be
// called from several scan threads at once, and so may GetAttributes while the folder pass
// asks which folders are there already; while its copies run side by side (ParallelCopies
// above 1), CopyOver and RemoveStaleTemporaries may be called from several copy threads at
// once. No other call is made meanwhile. A file system that keeps state must guard the calls
// whose side-by-side use it allows; every other call needs no guard.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // A run begins: what must stay the same for the whole run is taken now (on POSIX, the local
  // clock's offset from UTC that every file time of the run is converted with).
  virtual void BeginRun() {}

  // Lists `folder` in the OS's enumeration order (the "folder/*.*" search for subfolders when
  // `with_subfolders`, and the "folder/mask" search for files). An empty mask lists no files.
  // Entries that are neither files nor folders after following links are left out, and so are
  // links that lead nowhere; an entry that is there but cannot be examined is named in
  // `failures`. Fails for a file, and for a missing folder with not_found.
  virtual IoResult ListFolder(const std::string& folder, const std::string& mask,
                              bool with_subfolders, FolderListing* listing) = 0;

  // The single-entry search for folder + separator + name: a file, or a folder (size 0).
  // False when nothing usable is there, also when `folder` is missing.
  virtual bool FindEntry(const std::string& folder, const std::string& name,
                         engine::FileEntry* entry) = 0;
  // FindEntry for the name of each of `like` in `folder`, in one go: (*found)[i] answers
  // like[i].Name, its entry's name left empty. The default asks FindEntry name by name.
  virtual void FindEntries(const std::string& folder, const std::vector<engine::FileEntry>& like,
                           std::vector<FoundEntry>* found) {
    found->assign(like.size(), {});
    for (size_t i = 0; i < like.size(); ++i) {
      FoundEntry& answer = (*found)[i];
      answer.found = FindEntry(folder, like[i].Name, &answer.entry);
      answer.entry.Name.clear();
    }
  }
  // How many folders the scan may list and compare at once, each on its own thread (see
  // above). Decorators that keep state say 1, the default.
  virtual int ParallelScans() const { return 1; }

  // The attribute word of a file or a folder, links followed. Fails, not_found, when missing.
  virtual IoResult GetAttributes(const std::string& path, uint32_t* attr) = 0;
  // The identity of a folder, links followed, the same for every spelling of it. Fails when
  // missing (not_found) and for a file.
  virtual IoResult GetFolderId(const std::string& path, FolderId* id) = 0;
  // Makes one folder; its parent must exist (not_found otherwise). A folder that is there
  // already is no failure; a file there is.
  virtual IoResult MakeFolder(const std::string& path) = 0;

  // Replaces `to` atomically with the content, last-write time and permission bits of `from`,
  // also when `to` is read-only; on failure `to` is as it was and nothing is left behind.
  // Fails, not_found, when `from` or the folder of `to` is missing; fails when `from` is a
  // folder or `to` is one. Gives in `copied` the stamp of the source it copied, and refuses the
  // copy when `expected` is not 0 and the source no longer has that stamp. Implementations that
  // cannot tell give 0 and never refuse.
  virtual IoResult CopyOver(const std::string& from, const std::string& to, SourceStamp expected,
                            SourceStamp* copied) = 0;
  // How many copies may run at once, each on its own thread (see above): as many as pay off on
  // this machine's processors. 1 means one at a time, whatever the user asks.
  virtual int ParallelCopies() const { return 1; }
  // Whether copies into `folder` wait on a network: it lies on a file system of another
  // machine (NFS, SMB, sshfs...). False when it cannot be told.
  virtual bool WaitsOnNetwork(const std::string& folder) {
    (void)folder;
    return false;
  }
  // Removes temporary files that an interrupted copy into `folder` left behind, and no other.
  // A missing folder has none.
  virtual void RemoveStaleTemporaries(const std::string& folder) = 0;
  // Makes every copy made into these folders durable, one flush per file system they lie on,
  // before the master records them. Appends a message per flush that failed; a folder gone
  // since took its copies with it and is no failure. Implementations that cannot flush, or
  // need not, do nothing.
  virtual void FlushFolders(const std::vector<std::string>& folders,
                            std::vector<std::string>* failures) {
    (void)folders;
    (void)failures;
  }

  // Read-only questions for a dry run: what MakeFolder or a copy would meet on the disk as it
  // is now, asked the way those calls ask, writing nothing. Ok when the call would get past
  // that point; otherwise the failure it would give, its message "<operation> <path>: <reason>"
  // with the reason as the call would tell it. The defaults answer from GetAttributes, which
  // follows links and so cannot see a link standing in the way.
  //
  // MakeFolder(path): a folder is there, or nothing stands in the way of making one.
  virtual IoResult ProbeMakeFolder(const std::string& path);
  // A copy from `from`: the source opened for reading.
  virtual IoResult ProbeCopySource(const std::string& from);
  // A copy to `to`: its temporary file created in `to`'s folder. not_found when that folder is
  // missing.
  virtual IoResult ProbeCopyFolder(const std::string& to);
  // A copy to `to`: the finished file put in place of whatever stands at `to`.
  virtual IoResult ProbeCopyDestination(const std::string& to);

  // The private-profile pair, one complete access to the file per call. The lookup gives the
  // value as the profile rules read it, or `default_text` when the file, section or key is
  // missing. The write creates a missing file, in a folder that must exist, and is refused
  // as ReplaceText is.
  virtual std::string ReadProfileString(const std::string& path, const std::string& section,
                                        const std::string& key,
                                        const std::string& default_text) = 0;
  virtual IoResult WriteProfileString(const std::string& path, const std::string& section,
                                      const std::string& key, const std::string& value) = 0;

  // The whole file. Fails, not_found, when missing; fails for a folder.
  virtual IoResult ReadText(const std::string& path, std::string* text) = 0;
  // Replaces the whole file, atomically where that keeps the file as it was but for its text
  // (its owner, group, mode and other names); otherwise writes it in place. A missing file is
  // made. Refused for an empty path, a folder, a missing parent folder (not_found) and an
  // existing file that is read-only.
  virtual IoResult ReplaceText(const std::string& path, const std::string& text) = 0;

  virtual IoResult WorkingFolder(std::string* folder) = 0;
};

FileSystem& DefaultFileSystem();  // defined by the platform's implementation

}  // namespace platform
