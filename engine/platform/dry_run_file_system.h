// A file system that reads the real one and writes nothing: the dry run. A folder it is asked
// to create counts as existing from then on, so the run goes on exactly as after a real folder
// pass. Each write first asks the real file system what that write would meet (its probes), so
// a write that would fail for a reason the disk already shows fails here too, with the same
// reason; every other write reports success.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "engine/platform/file_system.h"

namespace platform {

// Not a ForwardingFileSystem on purpose: a write added to the interface later must not reach
// the disk through a forwarder; here it either stays pure (and fails to compile) or falls back
// on the calls below.
class DryRunFileSystem final : public FileSystem {
 public:
  explicit DryRunFileSystem(FileSystem& real) : real_(real) {}

  void BeginRun() override;

  IoResult ListFolder(const std::string& folder, const std::string& mask, bool with_subfolders,
                      FolderListing* listing) override {
    return real_.ListFolder(folder, mask, with_subfolders, listing);
  }
  bool FindEntry(const std::string& folder, const std::string& name,
                 engine::FileEntry* entry) override {
    return real_.FindEntry(folder, name, entry);
  }
  void FindEntries(const std::string& folder, const std::vector<engine::FileEntry>& like,
                   std::vector<FoundEntry>* found) override {
    real_.FindEntries(folder, like, found);
  }
  // The scan reads the real disk only, so it runs as a run's does.
  int ParallelScans() const override { return real_.ParallelScans(); }
  IoResult GetAttributes(const std::string& path, uint32_t* attr) override;
  // A folder this dry run made has an identity of its own, shared by every spelling of it.
  IoResult GetFolderId(const std::string& path, FolderId* id) override;
  std::string ReadProfileString(const std::string& path, const std::string& section,
                                const std::string& key, const std::string& default_text) override {
    return real_.ReadProfileString(path, section, key, default_text);
  }
  IoResult ReadText(const std::string& path, std::string* text) override {
    return real_.ReadText(path, text);
  }
  IoResult WorkingFolder(std::string* folder) override { return real_.WorkingFolder(folder); }

  IoResult MakeFolder(const std::string& path) override;
  // Gives no stamp, so the master copy is never refused for a changed source.
  IoResult CopyOver(const std::string& from, const std::string& to, SourceStamp expected,
                    SourceStamp* copied) override;
  void RemoveStaleTemporaries(const std::string&) override {}
  IoResult WriteProfileString(const std::string&, const std::string&, const std::string&,
                              const std::string&) override {
    return {};
  }
  IoResult ReplaceText(const std::string&, const std::string&) override { return {}; }

 private:
  FileSystem& real_;
  bool Made(const std::string& path) const;

  // Repeated "/" collapsed, no trailing "/"; each with its number in the order made.
  std::map<std::string, uint64_t> made_folders_;
  std::string checked_folder_;      // the destination folder of the latest copy
  IoResult checked_folder_result_;  // why copies into it would fail, if they would
};

}  // namespace platform
