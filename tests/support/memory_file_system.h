// A file system held in memory, for tests of the engine's rules on any OS: folders, files with
// their times and attributes, and links. It records what was listed, made, copied, read and
// written, and fails any operation on any path on demand with any reason, so refusals that the
// real disk gives only to some users, or on a full device, need neither.
//
// Paths follow this OS's rules: its separator (on Windows "/" too), repeated separators read
// as one, "." as the folder itself, ".." as its parent. The working folder is the root, where
// a path without a leading separator lies. Names match exactly, letter case included.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/file_entry.h"
#include "engine/platform/file_system.h"

namespace testing_support {

// Why an operation fails: a code in errno's numbering, the text it is reported with, and
// whether the cause may pass by itself (as a real file system tells it).
struct FailReason {
  int code;
  std::string text;
  bool may_pass = false;
};
extern const FailReason kNoSuchFile;
extern const FailReason kNotAFolder;
extern const FailReason kIsAFolder;
extern const FailReason kAlreadyExists;
extern const FailReason kAccessDenied;
extern const FailReason kDiskFull;
extern const FailReason kInputOutput;
extern const FailReason kBusy;
extern const FailReason kTextBusy;
extern const FailReason kNetworkInputOutput;  // an I/O error on a network file system

// `path` with each "/" written as this OS's separator, for paths and messages the tests expect.
std::string Native(std::string path);

class MemoryFileSystem : public platform::FileSystem {
 public:
  static constexpr uint32_t kTime = 0x5A210000;  // 2025-01-01 00:00:00 as an MS-DOS time

  MemoryFileSystem();

  // The tree: missing parent folders are made as plain folders. Adding over an entry replaces
  // it. `time` is a local MS-DOS time, `attr` the attribute word (kAttrFolder is added or
  // dropped as the kind requires).
  void AddFolder(const std::string& path, uint32_t attr = 0);
  void AddFile(const std::string& path, const std::string& content, uint32_t time = kTime,
               uint32_t attr = engine::kAttrArchive);
  // A link to `target`, followed wherever a path passes through it.
  void AddLink(const std::string& path, const std::string& target);
  // Removes the entry and everything below it.
  void Remove(const std::string& path);

  // Every later call of `op` that names `path` fails with `reason`, as an OS would have it
  // fail. `op` is a word of the log: "list", "status" (GetAttributes, GetFolderId, FindEntry,
  // and the entry examined while its folder is listed), "mkdir", "copy" (its source or its
  // destination), "flush", "read", "write", or "cwd" (with any path).
  void FailOn(const std::string& op, const std::string& path, FailReason reason);
  // Ends what FailOn began.
  void Recover(const std::string& op, const std::string& path);
  void SetParallelCopies(int lanes) { parallel_copies_ = lanes; }
  void SetParallelScans(int lanes) { parallel_scans_ = lanes; }

  bool Exists(const std::string& path) const;
  bool IsFolder(const std::string& path) const;
  // The content of a file, or "<missing>".
  std::string Content(const std::string& path) const;
  // Every entry below `folder`, sorted, relative, with "/" between names and after folders;
  // links are listed, not followed.
  std::vector<std::string> Tree(const std::string& folder) const;

  // Each call that listed, made, copied, read, wrote, flushed or cleaned, in order, with its
  // paths exactly as passed: "list P", "mkdir P", "copy F -> T", "read P", "write P",
  // "flush P", "clean P".
  std::vector<std::string> Log() const;
  // The entries of one operation, e.g. Log("copy").
  std::vector<std::string> Log(const std::string& op) const;

  // platform::FileSystem
  platform::IoResult ListFolder(const std::string& folder, const std::string& mask,
                                bool with_subfolders, platform::FolderListing* listing) override;
  bool FindEntry(const std::string& folder, const std::string& name,
                 engine::FileEntry* entry) override;
  platform::IoResult GetAttributes(const std::string& path, uint32_t* attr) override;
  platform::IoResult GetFolderId(const std::string& path, platform::FolderId* id) override;
  platform::IoResult MakeFolder(const std::string& path) override;
  platform::IoResult CopyOver(const std::string& from, const std::string& to,
                              platform::SourceStamp expected,
                              platform::SourceStamp* copied) override;
  int ParallelCopies() const override { return parallel_copies_; }
  int ParallelScans() const override { return parallel_scans_; }
  // Logs the call and removes nothing: no file here was left behind by a killed run.
  void RemoveStaleTemporaries(const std::string& folder) override;
  // Logs each folder; an injected failure is appended.
  void FlushFolders(const std::vector<std::string>& folders,
                    std::vector<std::string>* failures) override;
  // The source as CopyOver opens it; the other probes are the interface's own.
  platform::IoResult ProbeCopySource(const std::string& from) override;
  std::string ReadProfileString(const std::string& path, const std::string& section,
                                const std::string& key, const std::string& default_text) override;
  platform::IoResult WriteProfileString(const std::string& path, const std::string& section,
                                        const std::string& key, const std::string& value) override;
  platform::IoResult ReadText(const std::string& path, std::string* text) override;
  platform::IoResult ReplaceText(const std::string& path, const std::string& text) override;
  platform::IoResult WorkingFolder(std::string* folder) override;

 private:
  enum class Kind { kFolder, kFile, kLink };
  struct Node {
    Kind kind = Kind::kFolder;
    std::string content;  // a file's bytes, or a link's target
    uint32_t time = 0;
    uint32_t attr = 0;
    uint64_t serial = 0;   // the entry's identity
    uint64_t version = 0;  // changes with every write of a file
  };
  struct Resolved {
    std::string key;                      // the path as the map holds it: "/a/b", "" for the root
    const Node* node = nullptr;           // null when nothing is there
    const FailReason* failure = nullptr;  // why the path cannot be followed to its end
  };

  // The public methods lock, as copies may come from several threads at once; these do not.
  std::vector<std::string> Parts(const std::string& path) const;
  std::string KeyOf(const std::string& path) const;  // lexical: links are not followed
  const Node* Find(const std::string& key) const;
  Resolved Resolve(const std::string& path, bool follow_last = true) const;
  Node& Put(const std::string& key, Kind kind);
  std::optional<platform::IoResult> Injected(const std::string& op, const std::string& path,
                                             const std::string& what) const;
  platform::IoResult ReadTextLocked(const std::string& path, std::string* text);
  platform::IoResult ReplaceTextLocked(const std::string& path, const std::string& text);

  mutable std::mutex mutex_;
  Node root_;
  std::map<std::string, Node> nodes_;
  std::map<std::pair<std::string, std::string>, FailReason> failures_;
  std::vector<std::string> log_;
  uint64_t next_serial_ = 1;
  int parallel_copies_ = 1;
  int parallel_scans_ = 1;
};

}  // namespace testing_support
